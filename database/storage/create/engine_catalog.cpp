// The catalogue and access-control rows of a database the Jet 4 engine creates on
// its own, without Access: three containers, the database object and the four
// system tables, with the rights the engine grants on each.

#include "database/storage/create/engine_catalog.h"

#include "database/storage/catalog/catalog.h"

namespace storage {

namespace engine_accounts {
const BinaryValue kEngine{0xA7, 0x31};
const BinaryValue kCreator{0xA6, 0x33};
const BinaryValue kGroupB{0xA7, 0x36};
const BinaryValue kGroupC{0xA7, 0x33};
} // namespace engine_accounts

namespace {

constexpr int16_t kDatabaseObjectType = 2;
constexpr uint32_t kEngineObject = object_flags::kEngineSystem;

// MSysACEs.ACM values the engine writes (DAO permission bits).
constexpr int32_t kReadWriteSecurity = 393216;       // read and change permissions
constexpr int32_t kReadWriteSecurityCreate = 393217; // ... and create objects
constexpr int32_t kReadWriteSecurityOwner = 917504;  // ... and change the owner
constexpr int32_t kDatabaseObjectRights = 393230;    // ... and open, open exclusively, administer
constexpr int32_t kOpenExclusiveAdminister = 14;
constexpr int32_t kReadDefinitionAndData = 20;
constexpr int32_t kInheritedByGroupB = 983294;
constexpr int32_t kInheritedOnTables = 1048319; // full access but for the bit 0x100
constexpr int32_t kFullAccess = 1048575;

} // namespace

std::vector<EngineObject> engineObjects() {
    using namespace engine_accounts;
    using namespace engine_ids;
    const int16_t container = object_type::kContainer;
    const int16_t table = object_type::kLocalTable;
    return {
        {kTables, kRoot, "Tables", container, kEngineObject, kEngine},
        {kDatabases, kRoot, "Databases", container, kEngineObject, kEngine},
        {kRelationships, kRoot, "Relationships", container, kEngineObject, kEngine},
        {kDatabaseObject, kDatabases, "MSysDb", kDatabaseObjectType, kEngineObject, kCreator},
        {2, kTables, "MSysObjects", table, kEngineObject, kEngine},
        {3, kTables, "MSysACEs", table, kEngineObject, kEngine},
        {4, kTables, "MSysQueries", table, kEngineObject, kEngine},
        {5, kTables, "MSysRelationships", table, kEngineObject, kEngine},
    };
}

EngineObject aceTableObject(const std::string& name, uint32_t catalogFlags, uint32_t definitionPage) {
    return {static_cast<int32_t>(definitionPage),
            engine_ids::kTables,
            name,
            object_type::kLocalTable,
            catalogFlags,
            std::nullopt};
}

std::vector<EngineAccessEntry> engineAccessEntries() {
    using namespace engine_accounts;
    using namespace engine_ids;
    return {
        {2, kCreator, kReadWriteSecurity, false},
        {3, kCreator, kReadWriteSecurity, false},
        {4, kCreator, kReadWriteSecurity, false},
        {5, kCreator, kReadWriteSecurityOwner, false},
        {kTables, kGroupB, kInheritedByGroupB, true},
        {kTables, kCreator, kReadWriteSecurityCreate, false},
        {kRelationships, kGroupB, kInheritedByGroupB, true},
        {kRelationships, kCreator, kReadWriteSecurityCreate, false},
        {kDatabases, kCreator, kReadWriteSecurity, false},
        {kDatabaseObject, kCreator, kDatabaseObjectRights, false},
        {kDatabaseObject, kGroupC, kOpenExclusiveAdminister, false},
        {4, kGroupC, kReadDefinitionAndData, false},
        {5, kGroupC, kReadDefinitionAndData, false},
        {2, kGroupC, kReadDefinitionAndData, false},
        {kTables, kGroupC, kInheritedOnTables, true},
        {kRelationships, kGroupC, kFullAccess, true},
    };
}

std::vector<EngineAccessEntry> aceTableAccessEntries(uint32_t definitionPage) {
    const auto id = static_cast<int32_t>(definitionPage);
    return {
        {id, engine_accounts::kCreator, kReadWriteSecurity, false},
        {id, engine_accounts::kGroupC, kReadDefinitionAndData, false},
    };
}

} // namespace storage
