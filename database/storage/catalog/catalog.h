#pragma once

#include "database/storage/file/page_reader.h"

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace storage {

// MSysObjects.Type values this engine looks at.
namespace object_type {
inline constexpr int16_t kLocalTable = 1;
inline constexpr int16_t kContainer = 3;
inline constexpr int16_t kOdbcLinkedTable = 4;
inline constexpr int16_t kQuery = 5;
inline constexpr int16_t kLinkedTable = 6;
} // namespace object_type

// MSysObjects.Flags bits.
namespace object_flags {
inline constexpr uint32_t kEngineSystem = 0x80000000; // made by Jet/ACE
inline constexpr uint32_t kAccessSystem = 0x00000002; // made by Access
inline constexpr uint32_t kHidden = 0x00000008;
inline constexpr uint32_t kQueryKindMask = 0x000000F0;
} // namespace object_flags

// One row of MSysObjects.
struct CatalogEntry {
    int32_t id = 0; // for local tables: the first page of the table definition
    int32_t parentId = 0;
    std::string name;
    int16_t type = 0;
    uint32_t flags = 0;
    std::string database;    // linked tables: the source database
    std::string connect;     // linked tables: the connect string
    std::string foreignName; // linked tables: the name in the source
    std::vector<uint8_t> properties; // LvProp blob, kept for local tables only
};

// TABLE_NAME and TABLE_TYPE of one row of the tables schema rowset.
struct SchemaTableRow {
    std::string name;
    std::string type;
    bool operator==(const SchemaTableRow&) const = default;
};

// The system catalogue, read once when the database opens.
class Catalog {
public:
    // Reads MSysObjects (its definition is always on page 2).
    static Result<Catalog> read(PageReader& pages);

    // All rows, in the order they are stored.
    const std::vector<CatalogEntry>& entries() const { return m_entries; }
    std::optional<int32_t> tablesContainerId() const { return m_tablesContainerId; }

    // Tables, linked tables and queries, found by name ignoring case.
    const CatalogEntry* findInTables(std::string_view name) const;
    // Local tables that are neither engine nor Access system objects, in catalogue order.
    std::vector<std::string> userTables() const;
    // The tables schema rowset: which objects appear and with which TABLE_TYPE,
    // sorted by type, then name ignoring case. queriesWithParameters: ids of
    // queries that have parameter rows in MSysQueries (they are procedures, not views).
    std::vector<SchemaTableRow> tablesSchema(const std::set<int32_t>& queriesWithParameters) const;

private:
    bool inTablesContainer(const CatalogEntry& entry) const {
        return m_tablesContainerId && entry.parentId == *m_tablesContainerId;
    }

    std::vector<CatalogEntry> m_entries;
    std::unordered_map<std::u32string, std::size_t> m_tablesByName; // folded name -> entry
    // The last name found, as asked for: an import asks for one table row after row.
    mutable std::string m_lastName;
    mutable std::optional<std::size_t> m_lastFound;
    std::optional<int32_t> m_tablesContainerId;
};

} // namespace storage
