#include "filelist/ui/file_list_reorder.h"

#include "filelist/ui/file_list_view.h"

namespace filelist {

// An entry holds only its text, so a move is a copy inserted beside the neighbour and the
// original removed.
void MoveSelectedEntryUp(FileListView& list) {
    const int position = list.selectedPosition();
    if (position > 1) {
        const QString text = *list.text(position);
        list.insertEntry(position - 1, text);
        list.removeEntry(position + 1);
        list.selectEntry(position - 1);
    }
    list.setFocus();
}

void MoveSelectedEntryDown(FileListView& list) {
    const int position = list.selectedPosition();
    if (position > 0 && position < list.count()) {
        const QString text = *list.text(position);
        list.insertEntry(position + 2, text);
        list.removeEntry(position);
        list.selectEntry(position + 1);
    }
    list.setFocus();
}

} // namespace filelist
