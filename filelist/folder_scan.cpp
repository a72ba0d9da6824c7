#include "filelist/folder_scan.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace filelist {

namespace {

QString withSeparator(const QString& folder) { return folder.endsWith(QChar('/')) ? folder : folder + QChar('/'); }

void collect(QStringList& folders, bool recurse, QSet<QString>& visited) {
    QStringList found;
    for (const QString& folder : std::as_const(folders)) {
        // Without QDir::Hidden the listing leaves out hidden folders (names starting with ".").
        const QStringList names = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& name : names) {
            const QString path = folder + name;
            // A link back into the walk would make it endless: each real folder is entered once.
            const QString real = QFileInfo(path).canonicalFilePath();
            if (real.isEmpty() || visited.contains(real))
                continue;
            visited.insert(real);
            found << path + QChar('/');
        }
    }
    if (recurse && !found.isEmpty())
        collect(found, true, visited);
    folders << found;
}

} // namespace

void CollectSubfolders(QStringList& folders, bool recurse) {
    QSet<QString> visited;
    for (const QString& folder : std::as_const(folders))
        visited.insert(QFileInfo(folder).canonicalFilePath());
    collect(folders, recurse, visited);
}

QStringList ListFolderFiles(const QString& folder, const QString& pattern) {
    const QRegularExpression matcher(
        pattern == QLatin1String("*.*")
            ? QStringLiteral(".*")
            : QRegularExpression::wildcardToRegularExpression(pattern, QRegularExpression::UnanchoredWildcardConversion),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression anchored(QRegularExpression::anchoredPattern(matcher.pattern()), matcher.patternOptions());
    QStringList names;
    const QStringList entries = QDir(withSeparator(folder)).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString& name : entries)
        if (anchored.match(name).hasMatch())
            names << name;
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
