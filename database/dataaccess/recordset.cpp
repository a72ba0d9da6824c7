#include "database/dataaccess/recordset.h"

#include "database/dataaccess/connection.h"

namespace dataaccess {

Recordset::~Recordset() {
    Close();
}

Status Recordset::Open(std::string_view sql, Connection& connection, int /*cursorType*/, int /*lockType*/) {
    if (m_rows)
        return objectOpenError();
    if (!connection.session())
        return objectClosedError();
    std::unique_ptr<RowSource> rows;
    if (Status status = connection.session()->openQuery(sql, rows); !status)
        return status;
    return attach(std::move(rows), connection);
}

Status Recordset::attach(std::unique_ptr<RowSource> rows, Connection& connection) {
    if (m_rows)
        return objectOpenError();
    m_rows = std::move(rows);
    m_connection = &connection;
    connection.attachRecordset(this);
    if (Status status = fetch(); !status) {
        Close();
        return status;
    }
    return {};
}

int Recordset::State() const {
    return m_rows ? objectstate::kOpen : objectstate::kClosed;
}

void Recordset::Close() {
    if (m_connection)
        m_connection->detachRecordset(this);
    m_connection = nullptr;
    m_rows.reset();
    m_current.clear();
    m_eof = true;
}

int Recordset::FieldsCount() const {
    return m_rows ? static_cast<int>(m_rows->fieldNames().size()) : 0;
}

std::string Recordset::FieldName(int index) const {
    if (!m_rows || index < 0 || index >= FieldsCount())
        return {};
    return m_rows->fieldNames()[static_cast<std::size_t>(index)];
}

bool Recordset::Eof() const {
    return m_eof;
}

Status Recordset::MoveNext() {
    if (!m_rows)
        return objectClosedError();
    if (m_eof)
        return eofError();
    return fetch();
}

Status Recordset::fetch() {
    bool hasRow = false;
    if (Status status = m_rows->next(m_current, hasRow); !status)
        return status;
    m_eof = !hasRow;
    if (hasRow)
        m_current.resize(m_rows->fieldNames().size());
    return {};
}

Status Recordset::Value(std::string_view fieldName, std::optional<std::string>& value) const {
    if (!m_rows)
        return objectClosedError();
    const std::vector<std::string>& names = m_rows->fieldNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (asciiLower(names[i]) == asciiLower(fieldName))
            return Value(static_cast<int>(i), value);
    return itemNotFoundError();
}

Status Recordset::Value(int index, std::optional<std::string>& value) const {
    if (!m_rows)
        return objectClosedError();
    if (index < 0 || index >= FieldsCount())
        return itemNotFoundError();
    if (m_eof)
        return eofError();
    value = m_current[static_cast<std::size_t>(index)];
    return {};
}

} // namespace dataaccess
