#pragma once

#include <QString>
#include <QStringList>

namespace filelist {

// Folder paths in the scan end with the directory separator ("/"). Names are kept in
// whatever byte encoding they have (see importer::decodeLocalFileName), so every file
// found can be opened again by its entry.

// Appends to `folders` every subfolder of its folders, level by level: the direct
// subfolders of the first folder, then of the second, ..., then the next level down; the
// subfolders of one folder in the order of their names, ignoring case. Hidden folders
// (names starting with ".") are not entered. Folders are known by their identity, not by
// their path: a link to a folder that the walk reaches by its own path is left to that
// path, a link to a folder outside is entered once, and a link back into the walk is not
// followed, so the walk always ends. Folders that cannot be read contribute nothing.
void CollectSubfolders(QStringList& folders, bool recurse);

// The bare names of the files in `folder` that match `pattern`, hidden files included,
// folders excluded, in the order of their names ignoring case. "*" is any run of
// characters, "?" one character, letters match regardless of case, and "*.*" matches
// every name.
QStringList ListFolderFiles(const QString& folder, const QString& pattern);

// The entries a scan of `folder` and all its subfolders adds: each matching file's
// folder, a separator and its name, folder by folder in level order; names that start
// with "~" (editors' temporary files) are skipped.
QStringList ScanFolder(const QString& folder, const QString& pattern);

// Names in the order a Windows folder listing gives them: by their upper-case forms,
// character by character, ties broken by the names themselves.
bool namesInListingOrder(const QString& left, const QString& right);

} // namespace filelist
