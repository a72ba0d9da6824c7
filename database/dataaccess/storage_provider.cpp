#include "database/dataaccess/storage_provider.h"

#include "database/storage/database.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/errors.h"
#include "database/storage/sql/parser.h"
#include "database/storage/sql/quick_insert.h"

#include <algorithm>
#include <array>

namespace dataaccess {

namespace {

constexpr int kFail = -2147467259;                 // E_FAIL
constexpr int kErrorsInCommand = -2147217900;      // DB_E_ERRORSINCOMMAND
constexpr int kNoTable = -2147217865;              // DB_E_NOTABLE
constexpr int kParameterMissing = -2147217904;     // DB_E_PARAMNOTOPTIONAL
constexpr int kCannotConvert = -2147217913;        // DB_E_CANTCONVERTVALUE
constexpr int kAuthenticationFailed = -2147217843; // DB_SEC_E_AUTH_FAILED

constexpr std::array kCommandErrors = {3010, 3075, 3125, 3127, 3129, 3131, 3134, 3141,
                                       3142, 3190, 3191, 3259, 3290, 3292, 3346};

// Rows of a table, as text: each value in the engine's text form, Null as nullopt.
class TableRows : public RowSource {
public:
    explicit TableRows(storage::TableCursor cursor) : m_cursor(std::move(cursor)) {
        for (const storage::ColumnDefinition& column : m_cursor.columns())
            m_names.push_back(column.name);
    }
    const std::vector<std::string>& fieldNames() const override { return m_names; }
    Status next(std::vector<std::optional<std::string>>& values, bool& hasRow) override {
        hasRow = m_cursor.next(m_row);
        if (!hasRow)
            return m_cursor.status() ? Status() : Status(fromStorage(m_cursor.status().error()));
        values.resize(m_row.size());
        for (std::size_t i = 0; i < m_row.size(); ++i)
            values[i] = m_row[i].isNull() ? std::nullopt : std::optional<std::string>(storage::formatValue(m_row[i]));
        return {};
    }

private:
    storage::TableCursor m_cursor;
    storage::Row m_row;
    std::vector<std::string> m_names;
};

class SchemaRows : public RowSource {
public:
    explicit SchemaRows(std::vector<storage::SchemaTableRow> rows) : m_rows(std::move(rows)) {}
    const std::vector<std::string>& fieldNames() const override { return m_names; }
    Status next(std::vector<std::optional<std::string>>& values, bool& hasRow) override {
        hasRow = m_next < m_rows.size();
        if (hasRow) {
            values = {m_rows[m_next].name, m_rows[m_next].type};
            ++m_next;
        }
        return {};
    }

private:
    std::vector<std::string> m_names{"TABLE_NAME", "TABLE_TYPE"};
    std::vector<storage::SchemaTableRow> m_rows;
    std::size_t m_next = 0;
};

class StorageSession : public Session {
public:
    explicit StorageSession(std::unique_ptr<storage::DatabaseSession> session) : m_session(std::move(session)) {}

    Status execute(std::string_view sql) override {
        // An import's row statements are read into the same room, one after another.
        if (storage::sql::parseQuickInsert(sql, m_insert)) {
            storage::Status status = m_session->execute(m_insert);
            return status ? Status() : Status(fromStorage(status.error()));
        }
        storage::Result<storage::sql::Statement> statement = storage::sql::parse(sql);
        if (!statement)
            return fromStorage(statement.error());
        if (std::holds_alternative<storage::sql::SelectAll>(*statement)) {
            std::unique_ptr<RowSource> rows;
            return openQuery(sql, rows);
        }
        storage::Status status = m_session->execute(*statement);
        return status ? Status() : Status(fromStorage(status.error()));
    }

    Status openTablesSchema(std::unique_ptr<RowSource>& rows) override {
        auto schema = m_session->database().tablesSchema();
        if (!schema)
            return fromStorage(schema.error());
        rows = std::make_unique<SchemaRows>(std::move(*schema));
        return {};
    }

    Status openQuery(std::string_view sql, std::unique_ptr<RowSource>& rows) override {
        storage::Result<storage::sql::Statement> statement = storage::sql::parse(sql);
        if (!statement)
            return fromStorage(statement.error());
        const auto* select = std::get_if<storage::sql::SelectAll>(&*statement);
        if (!select)
            return notCapableError();
        auto cursor = m_session->database().openTable(select->table);
        if (!cursor)
            return fromStorage(cursor.error());
        rows = std::make_unique<TableRows>(std::move(*cursor));
        return {};
    }

    Status close() override {
        storage::Status status = m_session->close();
        return status ? Status() : Status(fromStorage(status.error()));
    }

    std::uint64_t durableStatements() const override { return m_session->durableStatements(); }
    std::vector<std::string> warnings() const override { return m_session->notices(); }

private:
    std::unique_ptr<storage::DatabaseSession> m_session;
    storage::sql::Insert m_insert;
};

} // namespace

int hresultForJetError(int jetNumber) {
    if (std::find(kCommandErrors.begin(), kCommandErrors.end(), jetNumber) != kCommandErrors.end())
        return kErrorsInCommand;
    switch (jetNumber) {
    case 3078:
        return kNoTable;
    case 3061:
        return kParameterMissing;
    case 3464:
        return kCannotConvert;
    case 3028:
    case 3031:
        return kAuthenticationFailed;
    default:
        return kFail;
    }
}

Error fromStorage(const storage::Error& error) {
    return {hresultForJetError(error.jetNumber), error.description};
}

Status StorageProvider::open(const ConnectionProperties& properties, int mode, std::unique_ptr<Session>& session) {
    storage::OpenOptions options;
    options.password = properties.databasePassword;
    options.engine = m_engine;
    // Only a connection that asks for writing locks the database for itself; one opened
    // without a mode (the table catalogue) or for reading shares it with other readers.
    const bool writes = mode == connectmode::kWrite || mode == connectmode::kReadWrite;
    auto opened = storage::DatabaseSession::open(properties.dataSource, options,
                                                 writes ? storage::DatabaseSession::Access::ReadWriteIfAllowed
                                                        : storage::DatabaseSession::Access::Read,
                                                 m_layer);
    if (!opened)
        return fromStorage(opened.error());
    session = std::make_unique<StorageSession>(std::move(*opened));
    return {};
}

} // namespace dataaccess
