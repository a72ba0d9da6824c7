#include "filelist/directory_listing.h"

#include "import/local_file_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>

namespace filelist {

namespace {

DirectoryEntry::Kind kindOf(const struct stat& status) {
    if (S_ISDIR(status.st_mode))
        return DirectoryEntry::Kind::Folder;
    if (S_ISREG(status.st_mode))
        return DirectoryEntry::Kind::File;
    return DirectoryEntry::Kind::Other;
}

} // namespace

QList<DirectoryEntry> listDirectory(const QString& folder) {
    QList<DirectoryEntry> entries;
    DIR* directory = ::opendir(importer::encodeLocalFileName(folder).constData());
    if (!directory)
        return entries;
    const int descriptor = ::dirfd(directory);
    while (const dirent* found = ::readdir(directory)) {
        if (std::strcmp(found->d_name, ".") == 0 || std::strcmp(found->d_name, "..") == 0)
            continue;
        DirectoryEntry entry;
        entry.name = importer::decodeLocalFileName(QByteArray(found->d_name));
        struct stat status {};
        if (::fstatat(descriptor, found->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0) {
            entry.isLink = S_ISLNK(status.st_mode);
            entry.kind = kindOf(status);
            // A link counts as what it leads to; a dangling one as nothing.
            if (entry.isLink)
                entry.kind = ::fstatat(descriptor, found->d_name, &status, 0) == 0 ? kindOf(status)
                                                                                   : DirectoryEntry::Kind::Other;
        }
        entries << entry;
    }
    ::closedir(directory);
    return entries;
}

std::optional<FolderIdentity> folderIdentity(const QString& path) {
    struct stat status {};
    if (::stat(importer::encodeLocalFileName(path).constData(), &status) != 0 || !S_ISDIR(status.st_mode))
        return std::nullopt;
    return FolderIdentity{status.st_dev, status.st_ino};
}

} // namespace filelist
