#pragma once

#include "database/storage/table/value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace storage {

// Object ids the engine gives its containers and database object.
namespace engine_ids {
inline constexpr int32_t kRoot = 0x0F000000; // parent of the containers; no row has it
inline constexpr int32_t kTables = 0x0F000001;
inline constexpr int32_t kDatabases = 0x0F000002;
inline constexpr int32_t kRelationships = 0x0F000003;
inline constexpr int32_t kDatabaseObject = 0x10000000; // MSysDb
} // namespace engine_ids

// The accounts (security identifiers) the engine's own rows name. Every Access-made
// file holds other bytes for the same roles (they look encoded per file); these are
// the ones of the empty database Access 2000 made, whose database object is owned
// by A6 33, the owner new objects fall back to.
namespace engine_accounts {
extern const BinaryValue kEngine;  // owns the containers and the system tables
extern const BinaryValue kCreator; // owns MSysDb
extern const BinaryValue kGroupB;  // inherits 983294 on Tables and Relationships
extern const BinaryValue kGroupC;  // inherits full rights on Tables and Relationships
} // namespace engine_accounts

// One MSysObjects row the engine writes into a new database.
struct EngineObject {
    int32_t id;
    int32_t parentId;
    std::string name;
    int16_t type;
    uint32_t flags;
    std::optional<BinaryValue> owner; // the ACE tables have none
};

// One MSysACEs row.
struct EngineAccessEntry {
    int32_t objectId;
    BinaryValue sid;
    int32_t rights; // ACM
    bool inheritable;
};

// The containers, MSysDb and the four Jet system tables (pages 2-5), in the
// order the engine stores them.
std::vector<EngineObject> engineObjects();

// The catalogue row of an ACE system table whose definition is on `definitionPage`.
EngineObject aceTableObject(const std::string& name, uint32_t catalogFlags, uint32_t definitionPage);

// The access entries of the objects engineObjects() names, in the engine's order.
std::vector<EngineAccessEntry> engineAccessEntries();

// Those of an ACE system table: the same as MSysQueries has.
std::vector<EngineAccessEntry> aceTableAccessEntries(uint32_t definitionPage);

} // namespace storage
