#include "database/storage/catalog/catalog.h"

#include "database/storage/errors.h"
#include "database/storage/format/text_codec.h"
#include "database/storage/table/table_cursor.h"

#include <algorithm>

namespace storage {

namespace {

constexpr uint32_t kCatalogDefinitionPage = 2;
constexpr int32_t kRootId = 0x0F000000;

int findColumn(const TableCursor& cursor, std::string_view name) {
    const auto& columns = cursor.columns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name)
            return static_cast<int>(i);
    return -1;
}

template <class T>
T numberOr(const Value& value, T fallback) {
    if (const auto* v = value.get<int32_t>())
        return static_cast<T>(*v);
    if (const auto* v = value.get<int16_t>())
        return static_cast<T>(*v);
    return fallback;
}

std::string textOr(const Row& row, int column) {
    if (column < 0)
        return {};
    const auto* text = row[static_cast<std::size_t>(column)].get<std::string>();
    return text ? *text : std::string();
}

// The schema rowset's TABLE_TYPE of an entry of the Tables container; empty when it is not listed.
std::string schemaType(const CatalogEntry& entry, const std::set<int32_t>& queriesWithParameters) {
    switch (entry.type) {
    case object_type::kLocalTable:
        if (entry.flags & object_flags::kEngineSystem)
            return "SYSTEM TABLE";
        if (entry.flags & object_flags::kAccessSystem)
            return "ACCESS TABLE";
        return "TABLE";
    case object_type::kLinkedTable: return "LINK";
    case object_type::kOdbcLinkedTable: return "PASS-THROUGH";
    case object_type::kQuery: {
        // Select (0), crosstab (0x10) and union (0x80) queries without parameters are views;
        // the provider lists action, pass-through and parameter queries as procedures.
        const uint32_t kind = entry.flags & object_flags::kQueryKindMask;
        if ((kind == 0x00 || kind == 0x10 || kind == 0x80) && !queriesWithParameters.count(entry.id))
            return "VIEW";
        return {};
    }
    default: return {};
    }
}

} // namespace

Result<Catalog> Catalog::read(PageReader& pages) {
    auto cursor = openTableAt(pages, "MSysObjects", kCatalogDefinitionPage);
    if (!cursor)
        return cursor.error();
    const int id = findColumn(*cursor, "Id");
    const int parentId = findColumn(*cursor, "ParentId");
    const int name = findColumn(*cursor, "Name");
    const int type = findColumn(*cursor, "Type");
    const int flags = findColumn(*cursor, "Flags");
    if (id < 0 || parentId < 0 || name < 0 || type < 0 || flags < 0)
        return pages.corrupt(kCatalogDefinitionPage, 0, "MSysObjects lacks one of Id, ParentId, Name, Type, Flags");
    const int database = findColumn(*cursor, "Database");
    const int connect = findColumn(*cursor, "Connect");
    const int foreignName = findColumn(*cursor, "ForeignName");
    const int properties = findColumn(*cursor, "LvProp");

    Catalog catalog;
    Row row;
    while (cursor->next(row)) {
        CatalogEntry entry;
        entry.id = numberOr<int32_t>(row[static_cast<std::size_t>(id)], 0);
        entry.parentId = numberOr<int32_t>(row[static_cast<std::size_t>(parentId)], 0);
        entry.name = textOr(row, name);
        entry.type = numberOr<int16_t>(row[static_cast<std::size_t>(type)], 0);
        entry.flags = numberOr<uint32_t>(row[static_cast<std::size_t>(flags)], 0);
        entry.database = textOr(row, database);
        entry.connect = textOr(row, connect);
        entry.foreignName = textOr(row, foreignName);
        if (properties >= 0 && entry.type == object_type::kLocalTable)
            if (auto* blob = row[static_cast<std::size_t>(properties)].get<BinaryValue>())
                entry.properties = *blob;
        if (entry.parentId == kRootId && entry.type == object_type::kContainer && entry.name == "Tables")
            catalog.m_tablesContainerId = entry.id;
        catalog.m_entries.push_back(std::move(entry));
    }
    if (!cursor->status())
        return cursor->status();
    if (!catalog.m_tablesContainerId)
        return pages.corrupt(kCatalogDefinitionPage, 0, "MSysObjects has no Tables container");
    // Names in the Tables container, for look-ups by name ignoring case (first one wins,
    // as a scan in stored order would find it).
    for (std::size_t i = 0; i < catalog.m_entries.size(); ++i) {
        const CatalogEntry& entry = catalog.m_entries[i];
        if (catalog.inTablesContainer(entry) &&
            (entry.type == object_type::kLocalTable || entry.type == object_type::kLinkedTable ||
             entry.type == object_type::kOdbcLinkedTable || entry.type == object_type::kQuery))
            catalog.m_tablesByName.emplace(foldedName(entry.name), i);
    }
    return catalog;
}

const CatalogEntry* Catalog::findInTables(std::string_view name) const {
    if (m_lastFound && name == m_lastName)
        return &m_entries[*m_lastFound];
    const auto found = m_tablesByName.find(foldedName(name));
    if (found == m_tablesByName.end())
        return nullptr;
    m_lastName = name;
    m_lastFound = found->second;
    return &m_entries[found->second];
}

std::vector<std::string> Catalog::userTables() const {
    std::vector<std::string> names;
    for (const CatalogEntry& entry : m_entries)
        if (inTablesContainer(entry) && entry.type == object_type::kLocalTable &&
            !(entry.flags & (object_flags::kEngineSystem | object_flags::kAccessSystem)))
            names.push_back(entry.name);
    return names;
}

std::vector<SchemaTableRow> Catalog::tablesSchema(const std::set<int32_t>& queriesWithParameters) const {
    struct Sortable {
        SchemaTableRow row;
        std::u32string key;
    };
    std::vector<Sortable> rows;
    for (const CatalogEntry& entry : m_entries) {
        if (!inTablesContainer(entry))
            continue;
        std::string type = schemaType(entry, queriesWithParameters);
        if (!type.empty())
            rows.push_back({{entry.name, std::move(type)}, foldedName(entry.name)});
    }
    // The rowset's documented order: TABLE_TYPE as plain text, then TABLE_NAME ignoring case.
    std::stable_sort(rows.begin(), rows.end(), [](const Sortable& a, const Sortable& b) {
        if (a.row.type != b.row.type)
            return a.row.type < b.row.type;
        return a.key < b.key;
    });
    std::vector<SchemaTableRow> result;
    result.reserve(rows.size());
    for (auto& sortable : rows)
        result.push_back(std::move(sortable.row));
    return result;
}

} // namespace storage
