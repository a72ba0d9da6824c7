#pragma once

#include <QString>
#include <QStringList>

namespace filelist {

// Folder paths in the scan end with the directory separator ("/").

// Appends to `folders` every subfolder of its folders, level by level: the direct
// subfolders of the first folder, then of the second, ..., then the next level down.
// Hidden folders (names starting with ".") are not entered, and a folder reached a
// second time through a link is not entered again, so the walk always ends. Names that
// cannot be read are skipped.
void CollectSubfolders(QStringList& folders, bool recurse);

// The bare names of the files in `folder` that match `pattern`, hidden files included,
// folders excluded, sorted by name. "*" is any run of characters, "?" one character,
// letters match regardless of case, and "*.*" matches every name.
QStringList ListFolderFiles(const QString& folder, const QString& pattern);

// The entries a scan of `folder` and all its subfolders adds: each matching file's
// folder, a separator and its name, folder by folder in level order; names that start
// with "~" (editors' temporary files) are skipped.
QStringList ScanFolder(const QString& folder, const QString& pattern);

} // namespace filelist
