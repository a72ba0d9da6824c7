#pragma once

#include "database/dataaccess/error.h"
#include "database/dataaccess/provider.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dataaccess {

class Recordset;

// Object states, as the platform numbers them.
namespace objectstate {
inline constexpr int kClosed = 0;
inline constexpr int kOpen = 1;
} // namespace objectstate

// Schema rowsets that OpenSchema knows.
inline constexpr int kSchemaTables = 20;

// A connection to one database, opened by a connection string whose Provider
// keyword picks the provider. Not copyable; closing is idempotent.
class Connection {
public:
    Connection();
    explicit Connection(const ProviderRegistry& providers);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    int State() const;
    int Mode() const { return m_mode; }
    // The mode can only change while the connection is closed.
    Status setMode(int mode);

    Status Open(std::string_view connectionString);
    Status Execute(std::string_view sql);
    // Only the tables rowset (kSchemaTables) is offered; the result opens in `rowset`.
    Status OpenSchema(int schema, Recordset& rowset);
    // Makes what was executed durable and closes; the failure when that could not be
    // done (the statements of the last batch are then not in the database). Closing a
    // closed connection succeeds.
    Status Close();
    // How many statements executed since the last Open are durable in the database; also
    // after Close, which makes them all durable unless it fails.
    std::uint64_t DurableStatements() const;
    // What the provider had to say on opening that is not a failure; kept until the next Open.
    const std::vector<std::string>& Warnings() const { return m_warnings; }

    // The open session, for record sets opened over this connection; null while closed.
    Session* session() const { return m_session.get(); }

private:
    friend class Recordset;
    // Record sets open over this connection are closed with it, before the session goes.
    void attachRecordset(Recordset* recordset);
    void detachRecordset(Recordset* recordset);

    const ProviderRegistry& m_providers;
    std::unique_ptr<Session> m_session;
    std::vector<Recordset*> m_recordsets;
    std::vector<std::string> m_warnings;
    std::uint64_t m_durableWhenClosed = 0;
    int m_mode = connectmode::kUnknown;
};

} // namespace dataaccess
