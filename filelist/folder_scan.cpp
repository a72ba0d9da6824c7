#include "filelist/folder_scan.h"

#include "filelist/directory_listing.h"
#include "import/local_file_names.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace filelist {

namespace {

using Identities = QSet<FolderIdentity>;

QString withSeparator(const QString& folder) {
    return folder.endsWith(QChar('/')) ? folder : folder + QChar('/');
}

bool isHidden(const QString& name) {
    return name.startsWith(QChar('.'));
}

QList<DirectoryEntry> sortedListing(const QString& folder) {
    QList<DirectoryEntry> entries = listDirectory(folder);
    std::sort(entries.begin(), entries.end(), [](const DirectoryEntry& left, const DirectoryEntry& right) {
        return namesInListingOrder(left.name, right.name);
    });
    return entries;
}

// The identities of every folder reached from `folders` by real subfolders alone, no link
// followed: the folders that the walk shows under their own paths.
Identities realTree(const QStringList& folders) {
    Identities found;
    QStringList level = folders;
    while (!level.isEmpty()) {
        QStringList next;
        for (const QString& folder : std::as_const(level)) {
            const auto identity = folderIdentity(folder);
            if (!identity || found.contains(*identity))
                continue;
            found.insert(*identity);
            for (const DirectoryEntry& entry : listDirectory(folder))
                if (entry.kind == DirectoryEntry::Kind::Folder && !entry.isLink && !isHidden(entry.name))
                    next << withSeparator(folder) + entry.name;
        }
        level = next;
    }
    return found;
}

void collect(QStringList& folders, bool recurse, const Identities& real, Identities& visited) {
    QStringList found;
    for (const QString& folder : std::as_const(folders)) {
        // Hidden folders are not entered.
        for (const DirectoryEntry& entry : sortedListing(folder)) {
            if (entry.kind != DirectoryEntry::Kind::Folder || isHidden(entry.name))
                continue;
            const QString path = folder + entry.name;
            const auto identity = folderIdentity(path);
            if (!identity || visited.contains(*identity) || (entry.isLink && real.contains(*identity)))
                continue;
            visited.insert(*identity);
            found << path + QChar('/');
        }
    }
    if (recurse && !found.isEmpty())
        collect(found, true, real, visited);
    folders << found;
}

} // namespace

bool namesInListingOrder(const QString& left, const QString& right) {
    const int ignoringCase = left.toUpper().compare(right.toUpper());
    return ignoringCase != 0 ? ignoringCase < 0 : left < right;
}

void CollectSubfolders(QStringList& folders, bool recurse) {
    const Identities real = realTree(folders);
    Identities visited;
    for (const QString& folder : std::as_const(folders))
        if (const auto identity = folderIdentity(folder))
            visited.insert(*identity);
    collect(folders, recurse, real, visited);
}

QStringList ListFolderFiles(const QString& folder, const QString& pattern) {
    const QRegularExpression matcher(
        pattern == QLatin1String("*.*")
            ? QStringLiteral(".*")
            : QRegularExpression::wildcardToRegularExpression(pattern, QRegularExpression::UnanchoredWildcardConversion),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression anchored(QRegularExpression::anchoredPattern(matcher.pattern()), matcher.patternOptions());
    QStringList names;
    // A kept byte is no valid text for the matcher; the name is matched as it is shown.
    for (const DirectoryEntry& entry : sortedListing(withSeparator(folder)))
        if (entry.kind == DirectoryEntry::Kind::File &&
            anchored.match(importer::displayLocalFileName(entry.name)).hasMatch())
            names << entry.name;
    return names;
}

QStringList ScanFolder(const QString& folder, const QString& pattern) {
    QStringList folders{folder + QChar('/')};
    CollectSubfolders(folders, true);
    QStringList entries;
    for (const QString& each : std::as_const(folders)) {
        const QString withoutSeparator = each.left(each.size() - 1);
        for (const QString& name : ListFolderFiles(withoutSeparator, pattern))
            if (!name.startsWith(QChar('~')))
                entries << withoutSeparator + QChar('/') + name;
    }
    return entries;
}

} // namespace filelist
