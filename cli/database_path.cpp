#include "cli/database_path.h"

#include "cli/console_ui.h"
#include "database/access_connection_string.h"
#include "database/dataaccess/connection.h"
#include "database/file_test.h"

#include <QFileInfo>

namespace cli {

std::optional<int> refuseUnusableDatabasePath(const database::DatabaseFields& location) {
    if (QFileInfo(location.path()).isDir()) {
        writeText(stderr, QStringLiteral("'%1' is a folder, not a database file.").arg(location.path()));
        return 1;
    }
    if (database::FileTest(location.path()))
        return std::nullopt;
    // The catalogue reading stays silent about a missing file; the component words it.
    dataaccess::Connection connection;
    const dataaccess::Status status = connection.Open(database::AccessConnectionString(location).toStdString());
    writeText(stderr, QStringLiteral("%1 (Error Number = %2)")
                          .arg(QString::fromStdString(status.description()))
                          .arg(status.number()));
    return 1;
}

} // namespace cli
