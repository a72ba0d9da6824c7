#include "filelist/ui/file_list_drop.h"

#include "filelist/folder_scan.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace filelist {

namespace {

QStringList localPaths(const QMimeData& data) {
    QStringList paths;
    if (!data.hasUrls())
        return paths;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}

} // namespace

bool offersFiles(const QMimeData& data) { return !localPaths(data).isEmpty(); }

QString folderWithoutSeparator(const QString& folder) {
    QString path = folder;
    while (path.endsWith(QChar('/')))
        path.chop(1);
    return path;
}

// A path that does not exist is taken like a file; it fails when the import opens it.
QStringList droppedEntries(const QMimeData& data) {
    QStringList entries;
    for (const QString& path : localPaths(data)) {
        if (QFileInfo(path).isDir())
            entries << ScanFolder(folderWithoutSeparator(path), QStringLiteral("*.*"));
        else
            entries << path;
    }
    return entries;
}

} // namespace filelist
