#include "database/file_test.h"

#include <QDateTime>
#include <QFileInfo>

namespace database {

bool FileTest(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.lastModified().isValid();
}

} // namespace database
