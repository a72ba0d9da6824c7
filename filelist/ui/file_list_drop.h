#pragma once

#include <QStringList>

class QMimeData;

namespace filelist {

// Whether dragged data holds at least one local file or folder, as the file manager offers.
bool offersFiles(const QMimeData& data);

// The entries a drop adds, in the order of the dropped paths: a file's path as it is,
// whatever its name; for a folder, every file in it and its subfolders (see ScanFolder);
// a hidden folder (name starting with ".") as one entry, its own path.
QStringList droppedEntries(const QMimeData& data);

// A folder path without its final separator, as the folder scan expects it; the root
// becomes empty, so that its entries read "/a.txt" and not "//a.txt".
QString folderWithoutSeparator(const QString& folder);

} // namespace filelist
