#include "database/table_catalogue.h"

#include "database/access_connection_string.h"
#include "database/dataaccess/connection.h"
#include "database/dataaccess/recordset.h"
#include "database/file_test.h"

namespace database {

namespace {

// Steps 106 to 120: open, read the tables rowset, collect the user tables. Any failure
// leaves at once with the component's status; the caller shows it.
dataaccess::Status readUserTables(dataaccess::Connection& connection, dataaccess::Recordset& rowset,
                                  const DatabaseLocation& location, QStringList& names) {
    // 106
    if (auto status = connection.Open(AccessConnectionString(location).toStdString()); !status)
        return status;
    // 108
    if (auto status = connection.OpenSchema(dataaccess::kSchemaTables, rowset); !status)
        return status;
    // 110 to 118: the type is compared exactly, so "table" or " TABLE" is not a user table.
    while (!rowset.Eof()) {
        std::optional<std::string> type;
        if (auto status = rowset.Value("TABLE_TYPE", type); !status)
            return status;
        if (type && *type == "TABLE") {
            std::optional<std::string> name;
            if (auto status = rowset.Value("TABLE_NAME", name); !status)
                return status;
            // A table without a name could not be addressed by any statement; leave it out.
            if (name)
                names << QString::fromStdString(*name);
        }
        if (auto status = rowset.MoveNext(); !status)
            return status;
    }
    return {};
}

} // namespace

std::optional<QStringList> NonSystemTables(const QString& path, const DatabaseLocation& location,
                                           importer::UserInterface& ui, const dataaccess::ProviderRegistry& providers) {
    // 100, 102: creating the objects cannot fail here, unlike with a late-bound component.
    dataaccess::Connection connection(providers);
    dataaccess::Recordset rowset;
    // 104
    if (!FileTest(path))
        return std::nullopt;
    QStringList names;
    if (const auto status = readUserTables(connection, rowset, location, names); !status) {
        // 130, 132: the objects are closed as they go out of scope.
        ui.messageBox(QString::fromStdString(status.description()) + QStringLiteral(" (Error Number = ") +
                      QString::number(status.number()) + QStringLiteral(")"));
        return std::nullopt;
    }
    // What the open had to say beside the tables, such as a journal of another file set aside.
    for (const std::string& warning : connection.Warnings())
        ui.messageBox(QString::fromStdString(warning), importer::MessageIcon::Exclamation);
    // 120 to 128: nothing was written, so closing cannot lose anything.
    rowset.Close();
    connection.Close().ignoreError();
    return names;
}

void AddTablesToAccessListbox(importer::TableList& listBox, const QString& path, const QString& /*password*/,
                              const DatabaseLocation& location, importer::UserInterface& ui,
                              const dataaccess::ProviderRegistry& providers) {
    // 100 to 106
    const std::optional<QStringList> names = NonSystemTables(path, location, ui, providers);
    if (!names)
        return;
    // 108 to 116
    listBox.clear();
    for (const QString& name : *names)
        listBox.addItem(name);
    // 118
    if (listBox.count() > 0)
        listBox.setSelectedIndex(0);
}

} // namespace database
