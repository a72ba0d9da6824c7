#include "cli/table_catalogue.h"

#include "cli/console_ui.h"
#include "database/dataaccess/connection.h"
#include "database/dataaccess/recordset.h"

namespace cli {

std::optional<QStringList> userTables(const QString& connectionString) {
    dataaccess::Connection connection;
    dataaccess::Recordset rowset;
    dataaccess::Status status = connection.setMode(dataaccess::connectmode::kRead);
    if (status)
        status = connection.Open(connectionString.toStdString());
    if (status)
        status = connection.OpenSchema(dataaccess::kSchemaTables, rowset);
    QStringList names;
    while (status && !rowset.Eof()) {
        std::optional<std::string> type;
        std::optional<std::string> name;
        status = rowset.Value("TABLE_TYPE", type);
        if (status)
            status = rowset.Value("TABLE_NAME", name);
        if (status && type == "TABLE")
            names << QString::fromStdString(name.value_or(std::string()));
        if (status)
            status = rowset.MoveNext();
    }
    if (!status) {
        writeText(stderr, QString::fromStdString(status.description()));
        return std::nullopt;
    }
    return names;
}

} // namespace cli
