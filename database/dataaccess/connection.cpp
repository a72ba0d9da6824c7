#include "database/dataaccess/connection.h"

#include "database/dataaccess/recordset.h"

namespace dataaccess {

Connection::Connection() : Connection(ProviderRegistry::standard()) {}

Connection::Connection(const ProviderRegistry& providers) : m_providers(providers) {}

Connection::~Connection() {
    // Callers that need to know whether the statements are durable close first.
    Close().ignoreError();
}

int Connection::State() const {
    return m_session ? objectstate::kOpen : objectstate::kClosed;
}

Status Connection::setMode(int mode) {
    if (m_session)
        return objectOpenError();
    m_mode = mode;
    return {};
}

Status Connection::Open(std::string_view connectionString) {
    if (m_session)
        return objectOpenError();
    const ConnectionProperties properties = parseConnectionString(connectionString);
    Provider* provider = m_providers.find(properties.provider);
    if (!provider)
        return providerNotFoundError();
    std::unique_ptr<Session> session;
    if (Status status = provider->open(properties, m_mode, session); !status)
        return status;
    m_session = std::move(session);
    m_warnings = m_session->warnings();
    m_durableWhenClosed = 0;
    return {};
}

Status Connection::Execute(std::string_view sql) {
    if (!m_session)
        return objectClosedError();
    return m_session->execute(sql);
}

Status Connection::OpenSchema(int schema, Recordset& rowset) {
    if (!m_session)
        return objectClosedError();
    if (schema != kSchemaTables)
        return notCapableError();
    std::unique_ptr<RowSource> rows;
    if (Status status = m_session->openTablesSchema(rows); !status)
        return status;
    return rowset.attach(std::move(rows), *this);
}

Status Connection::Close() {
    while (!m_recordsets.empty())
        m_recordsets.back()->Close();
    if (!m_session)
        return {};
    Status status = m_session->close();
    m_durableWhenClosed = m_session->durableStatements();
    m_session.reset();
    return status;
}

std::uint64_t Connection::DurableStatements() const {
    return m_session ? m_session->durableStatements() : m_durableWhenClosed;
}

void Connection::attachRecordset(Recordset* recordset) {
    m_recordsets.push_back(recordset);
}

void Connection::detachRecordset(Recordset* recordset) {
    std::erase(m_recordsets, recordset);
}

} // namespace dataaccess
