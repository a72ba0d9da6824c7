#pragma once

#include <QList>
#include <QString>

#include <optional>
#include <utility>

namespace filelist {

// The directory operations of the folder scan, by the exact bytes of each name: a name in
// any encoding is listed and can be opened again (see importer::decodeLocalFileName).

struct DirectoryEntry {
    enum class Kind { File, Folder, Other };
    QString name;
    Kind kind = Kind::Other; // of what the entry leads to, through a link
    bool isLink = false;
};

// The entries of `folder` ("." and ".." left out), in no particular order; empty when
// the folder cannot be read.
QList<DirectoryEntry> listDirectory(const QString& folder);

// What makes a folder itself, whatever path leads to it: its device and inode.
using FolderIdentity = std::pair<unsigned long long, unsigned long long>;

// The identity of the folder `path` leads to, through links; none when it is no folder.
std::optional<FolderIdentity> folderIdentity(const QString& path);

} // namespace filelist
