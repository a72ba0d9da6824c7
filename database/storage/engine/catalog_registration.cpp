#include "database/storage/engine/catalog_registration.h"

#include "database/storage/write/date_text.h"

#include <algorithm>
#include <ctime>

namespace storage {

namespace {

constexpr uint32_t kCatalogPage = 2;
constexpr int32_t kFullAccess = 0xFFFFF;
const BinaryValue kFallbackOwner{0xA6, 0x33}; // the engine's Admin account

// The value of the named column in a row read by a cursor over the same table.
const Value* column(const TableDefinition& def, const Row& row, std::string_view name) {
    for (std::size_t i = 0; i < def.columns.size(); ++i)
        if (def.columns[i].name == name)
            return &row[i];
    return nullptr;
}

Status setColumn(const TableDefinition& def, std::vector<Value>& row, std::string_view name, Value value) {
    for (std::size_t i = 0; i < def.columns.size(); ++i)
        if (def.columns[i].name == name) {
            row[i] = std::move(value);
            return Status::ok();
        }
    return Error{0, "The system table has no column " + std::string(name) + ".", ErrorKind::Corruption};
}

// The Owner of the MSysDb row, which new objects share.
Result<BinaryValue> databaseOwner(Database& database) {
    auto cursor = database.openTable("MSysObjects");
    if (!cursor)
        return cursor.error();
    Row row;
    while (cursor->next(row)) {
        const Value* name = column(cursor->definition(), row, "Name");
        const Value* owner = column(cursor->definition(), row, "Owner");
        if (name && owner && name->storage() == Value::Storage(std::string("MSysDb")))
            if (const BinaryValue* bytes = std::get_if<BinaryValue>(&owner->storage()); bytes && !bytes->empty())
                return *bytes;
    }
    if (Status status = cursor->status(); !status)
        return status.error();
    return kFallbackOwner;
}

// The accounts with rights on the Tables container, in the order first seen.
Result<std::vector<BinaryValue>> containerAccounts(Database& database, int32_t container) {
    std::vector<BinaryValue> accounts;
    auto cursor = database.openTable("MSysACEs");
    if (!cursor)
        return cursor.error();
    Row row;
    while (cursor->next(row)) {
        const Value* object = column(cursor->definition(), row, "ObjectId");
        const Value* sid = column(cursor->definition(), row, "SID");
        if (!object || !sid || object->storage() != Value::Storage(container))
            continue;
        if (const BinaryValue* bytes = std::get_if<BinaryValue>(&sid->storage()))
            if (std::find(accounts.begin(), accounts.end(), *bytes) == accounts.end())
                accounts.push_back(*bytes);
    }
    if (Status status = cursor->status(); !status)
        return status.error();
    if (accounts.empty())
        accounts.push_back(kFallbackOwner);
    return accounts;
}

} // namespace

DateTime localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const double days = static_cast<double>(daysFromCivil(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                                          static_cast<unsigned>(local.tm_mday)) -
                                            daysFromCivil(1899, 12, 30));
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    return DateTime{days + seconds / 86400.0};
}

Status registerNewTable(Database& database, TableWriters& writers, uint32_t definitionPage, const std::string& name,
                        DateTime now) {
    const auto container = database.catalog().tablesContainerId();
    if (!container)
        return Error{0, "The database has no Tables container.", ErrorKind::Corruption};
    const CatalogEntry* aces = database.catalog().findInTables("MSysACEs");
    if (!aces)
        return Error{0, "The database has no MSysACEs table.", ErrorKind::Corruption};
    auto owner = databaseOwner(database);
    if (!owner)
        return owner.error();
    auto accounts = containerAccounts(database, *container);
    if (!accounts)
        return accounts.error();

    auto objects = writers.get(kCatalogPage, "MSysObjects");
    if (!objects)
        return objects.error();
    const TableDefinition& objectsDef = (*objects)->definition();
    std::vector<Value> row(objectsDef.columns.size());
    for (auto status : {setColumn(objectsDef, row, "Id", Value(static_cast<int32_t>(definitionPage))),
                        setColumn(objectsDef, row, "ParentId", Value(*container)),
                        setColumn(objectsDef, row, "Name", Value(name)),
                        setColumn(objectsDef, row, "Type", Value(static_cast<int16_t>(object_type::kLocalTable))),
                        setColumn(objectsDef, row, "DateCreate", Value(now)),
                        setColumn(objectsDef, row, "DateUpdate", Value(now)),
                        setColumn(objectsDef, row, "Owner", Value(*owner)),
                        setColumn(objectsDef, row, "Flags", Value(int32_t{0}))})
        if (!status)
            return status;
    if (Status status = (*objects)->insert(std::move(row)); !status)
        return status;

    auto entries = writers.get(static_cast<uint32_t>(aces->id), "MSysACEs");
    if (!entries)
        return entries.error();
    const TableDefinition& acesDef = (*entries)->definition();
    for (const BinaryValue& account : *accounts) {
        std::vector<Value> ace(acesDef.columns.size());
        for (auto status : {setColumn(acesDef, ace, "ObjectId", Value(static_cast<int32_t>(definitionPage))),
                            setColumn(acesDef, ace, "SID", Value(account)),
                            setColumn(acesDef, ace, "ACM", Value(kFullAccess)),
                            setColumn(acesDef, ace, "FInheritable", Value(false))})
            if (!status)
                return status;
        if (Status status = (*entries)->insert(std::move(ace)); !status)
            return status;
    }
    return Status::ok();
}

} // namespace storage
