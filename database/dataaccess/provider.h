#pragma once

#include "database/dataaccess/connection_string.h"
#include "database/dataaccess/error.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dataaccess {

// Rows delivered one at a time: the result of a query or a schema rowset.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual const std::vector<std::string>& fieldNames() const = 0;
    // Fills `values` (one per field, nullopt for Null) and sets `hasRow`; `hasRow` false means the end.
    virtual Status next(std::vector<std::optional<std::string>>& values, bool& hasRow) = 0;
};

// One open database, as a provider serves it to a connection.
class Session {
public:
    virtual ~Session() = default;
    virtual Status execute(std::string_view sql) = 0;
    // The tables schema rowset, with at least the fields TABLE_NAME and TABLE_TYPE.
    virtual Status openTablesSchema(std::unique_ptr<RowSource>& rows) = 0;
    virtual Status openQuery(std::string_view sql, std::unique_ptr<RowSource>& rows) = 0;
    // Makes every executed statement durable and ends the session; the failure when that
    // could not be done. Called once, before the session is destroyed.
    virtual Status close() = 0;
    // How many of the statements executed in this session are durable in the database:
    // all that succeeded once close() has, fewer after a failed commit.
    virtual std::uint64_t durableStatements() const = 0;
    // What the provider found on opening and the user should hear of, although the open went on.
    virtual std::vector<std::string> warnings() const { return {}; }
};

// Access modes of a connection, as the platform numbers them.
namespace connectmode {
inline constexpr int kUnknown = 0;
inline constexpr int kRead = 1;
inline constexpr int kWrite = 2;
inline constexpr int kReadWrite = 3;
} // namespace connectmode

class Provider {
public:
    virtual ~Provider() = default;
    virtual Status open(const ConnectionProperties& properties, int mode, std::unique_ptr<Session>& session) = 0;
};

// Providers by name; names compare without regard to ASCII case.
class ProviderRegistry {
public:
    void add(std::string_view name, std::shared_ptr<Provider> provider);
    Provider* find(std::string_view name) const;

    // The providers this program ships: the Access providers on our own storage engine.
    static const ProviderRegistry& standard();

private:
    std::map<std::string, std::shared_ptr<Provider>> m_providers;
};

} // namespace dataaccess
