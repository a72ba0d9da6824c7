#include "filelist/ui/file_list_drop.h"

#include "filelist/directory_listing.h"
#include "filelist/folder_scan.h"
#include "import/local_file_names.h"

#include <QMimeData>
#include <QUrl>

namespace filelist {

namespace {

// A file manager sends each path's bytes percent-encoded; they are taken as bytes, so a
// name in any encoding arrives as it is on disk.
QString localPath(const QUrl& url) {
    if (!url.host().isEmpty() && url.host() != QLatin1String("localhost"))
        return url.toLocalFile();
    return importer::decodeLocalFileName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QStringList localPaths(const QMimeData& data) {
    QStringList paths;
    if (!data.hasUrls())
        return paths;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            paths << localPath(url);
    return paths;
}

bool isHiddenName(const QString& path) {
    return folderWithoutSeparator(path).section(QChar('/'), -1).startsWith(QChar('.'));
}

} // namespace

bool offersFiles(const QMimeData& data) { return !localPaths(data).isEmpty(); }

QString folderWithoutSeparator(const QString& folder) {
    QString path = folder;
    while (path.endsWith(QChar('/')))
        path.chop(1);
    return path;
}

// A path that does not exist is taken like a file; it fails when the import opens it. A
// hidden folder, which the scan would not enter, is taken the same way.
QStringList droppedEntries(const QMimeData& data) {
    QStringList entries;
    for (const QString& path : localPaths(data)) {
        if (folderIdentity(path) && !isHiddenName(path))
            entries << ScanFolder(folderWithoutSeparator(path), QStringLiteral("*.*"));
        else
            entries << path;
    }
    return entries;
}

} // namespace filelist
