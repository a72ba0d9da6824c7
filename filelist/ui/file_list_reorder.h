#pragma once

namespace filelist {

class FileListView;

// "Move Up" and "Move Down": the selected entry changes places with its neighbour and
// stays selected and in view, so repeated clicks keep moving the same file. The first
// entry up, the last entry down, or no selection change nothing. The list gets the
// keyboard focus in every case.
void MoveSelectedEntryUp(FileListView& list);
void MoveSelectedEntryDown(FileListView& list);

} // namespace filelist
