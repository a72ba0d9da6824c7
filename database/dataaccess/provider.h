#pragma once

#include "database/dataaccess/connection_string.h"
#include "database/dataaccess/error.h"

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
