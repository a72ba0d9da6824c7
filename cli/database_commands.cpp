// The commands that read a database: tables and dump.

#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/csv_writer.h"
#include "cli/database_path.h"
#include "database/access_connection_string.h"
#include "database/dataaccess/connection.h"
#include "database/dataaccess/recordset.h"
#include "database/table_catalogue.h"

#include <cstdio>

namespace cli {

namespace {

database::DatabaseFields locationFrom(const Arguments& arguments) {
    return database::DatabaseFields(arguments.positional.value(0), arguments.value("--password").value_or(QString()));
}

QString connectionStringFor(const Arguments& arguments) {
    return database::AccessConnectionString(locationFrom(arguments));
}

int fail(const dataaccess::Status& status) {
    writeText(stderr, QString::fromStdString(status.description()));
    return 1;
}

} // namespace

int runTables(const Arguments& arguments) {
    if (arguments.positional.size() != 1) {
        writeText(stderr, QStringLiteral("usage: tarnwick-cli tables DATABASE [--password PW | --password-file FILE]"));
        return 2;
    }
    const database::DatabaseFields location = locationFrom(arguments);
    if (const std::optional<int> refused = refuseUnusableDatabasePath(location))
        return *refused;
    ConsoleUi ui;
    const std::optional<QStringList> tables = database::NonSystemTables(location.path(), location, ui);
    if (!tables)
        return 1;
    for (const QString& table : *tables)
        writeText(stdout, table);
    return 0;
}

int runDump(const Arguments& arguments) {
    if (arguments.positional.size() != 2) {
        writeText(stderr,
                  QStringLiteral("usage: tarnwick-cli dump DATABASE TABLE [--password PW | --password-file FILE]"));
        return 2;
    }
    if (const std::optional<int> refused = refuseUnusableDatabasePath(locationFrom(arguments)))
        return *refused;
    dataaccess::Connection connection;
    if (dataaccess::Status status = connection.setMode(dataaccess::connectmode::kRead); !status)
        return fail(status);
    if (dataaccess::Status status = connection.Open(connectionStringFor(arguments).toStdString()); !status)
        return fail(status);
    for (const std::string& warning : connection.Warnings())
        writeText(stderr, QString::fromStdString(warning));
    dataaccess::Recordset rows;
    const std::string query = "SELECT * FROM `" + arguments.positional[1].toStdString() + "`";
    if (dataaccess::Status status = rows.Open(query, connection); !status)
        return fail(status);

    std::vector<std::optional<std::string>> record;
    for (int i = 0; i < rows.FieldsCount(); ++i)
        record.emplace_back(rows.FieldName(i));
    // Written by length: a name may hold NUL characters.
    const std::string header = csvRecord(record);
    std::fwrite(header.data(), 1, header.size(), stdout);
    while (!rows.Eof()) {
        for (int i = 0; i < rows.FieldsCount(); ++i)
            if (dataaccess::Status status = rows.Value(i, record[static_cast<std::size_t>(i)]); !status)
                return fail(status);
        const std::string line = csvRecord(record);
        std::fwrite(line.data(), 1, line.size(), stdout);
        if (dataaccess::Status status = rows.MoveNext(); !status)
            return fail(status);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

} // namespace cli
