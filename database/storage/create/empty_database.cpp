#include "database/storage/create/empty_database.h"

#include "database/storage/create/engine_catalog.h"
#include "database/storage/create/header_page.h"
#include "database/storage/create/system_table_storage.h"
#include "database/storage/engine/pager.h"
#include "database/storage/engine/table_writer.h"
#include "database/storage/file/memory_file.h"
#include "database/storage/file/page_reader.h"

#include <memory>
#include <string_view>
#include <utility>

namespace storage {

namespace {

constexpr uint32_t kCatalogPage = 2;
constexpr uint32_t kAccessEntriesPage = 3;

using NamedValues = std::vector<std::pair<std::string_view, Value>>;

// One value per column of the table, by column number; unnamed columns stay Null.
Result<std::vector<Value>> rowOf(const TableWriter& table, NamedValues values) {
    const TableDefinition& def = table.definition();
    std::vector<Value> row(def.columns.size());
    for (auto& [name, value] : values) {
        std::size_t i = 0;
        while (i < def.columns.size() && def.columns[i].name != name)
            ++i;
        if (i == def.columns.size())
            return Error{0, table.name() + " has no column " + std::string(name) + ".", ErrorKind::Failed};
        row[i] = std::move(value);
    }
    return row;
}

class EmptyDatabaseBuilder {
public:
    EmptyDatabaseBuilder(FileFormat format, DateTime created)
        : m_format(format), m_created(created), m_reader(m_file, "new database", kJet4PageSize, 2),
          m_pager(m_file, m_reader), m_sortOrderVersion(newDatabaseSortOrderVersion(format)) {
        // System text columns take the database's sort order, as in every file Access made
        // (version 1 in its ACE 14 and ACE 16 files); their index keys follow them.
        m_tableFormat.ace = format != FileFormat::Jet4;
    }

    Status writeFirstPages(const std::u16string& password) {
        if (Status status = m_file.write(0, newHeaderPage(m_format, m_created.days, password)); !status)
            return status;
        return m_file.write(kJet4PageSize, newGlobalUsageMapPage());
    }

    Status writeJetTables();
    Status writeAceTables();
    Status writeAccessEntries();
    std::vector<uint8_t> bytes() const { return m_file.bytes(); }

private:
    Result<std::vector<uint32_t>> allocate(std::size_t count) {
        std::vector<uint32_t> pages;
        for (std::size_t i = 0; i < count; ++i) {
            auto page = m_pager.allocate();
            if (!page)
                return page.error();
            pages.push_back(*page);
        }
        return pages;
    }
    Status writeTable(const SystemTable& table, const SystemTablePages& pages) {
        return writeSystemTable(m_pager, table, pages, m_sortOrderVersion, m_tableFormat).status();
    }
    Status addObject(const EngineObject& object);

    FileFormat m_format;
    DateTime m_created;
    MemoryFile m_file;
    PageReader m_reader;
    Pager m_pager;
    uint8_t m_sortOrderVersion;
    TableDefinitionFormat m_tableFormat;
    std::unique_ptr<TableWriter> m_objects;
    std::vector<uint32_t> m_aceTablePages;
};

Status EmptyDatabaseBuilder::writeJetTables() {
    const std::vector<SystemTable>& tables = jetSystemTables();
    auto definitions = allocate(tables.size()); // pages 2-5, where every reader expects them
    if (!definitions)
        return definitions.status();
    std::vector<SystemTablePages> pages(tables.size());
    if (m_format == FileFormat::Jet4) {
        // The Jet 4 engine keeps the maps of all four on one page, then their roots.
        auto holder = allocate(1);
        if (!holder)
            return holder.status();
        for (std::size_t i = 0; i < tables.size(); ++i) {
            auto roots = allocate(tables[i].indexes.size());
            if (!roots)
                return roots.status();
            pages[i] = {(*definitions)[i], holder->front(), std::move(*roots)};
        }
    } else {
        for (std::size_t i = 0; i < tables.size(); ++i) {
            auto more = allocate(1 + tables[i].indexes.size());
            if (!more)
                return more.status();
            pages[i] = {(*definitions)[i], more->front(), std::vector<uint32_t>(more->begin() + 1, more->end())};
        }
    }
    for (std::size_t i = 0; i < tables.size(); ++i)
        if (Status status = writeTable(tables[i], pages[i]); !status)
            return status;

    auto objects = TableWriter::load(m_pager, m_format, kCatalogPage, "MSysObjects");
    if (!objects)
        return objects.status();
    m_objects = std::move(*objects);
    for (const EngineObject& object : engineObjects())
        if (Status status = addObject(object); !status)
            return status;
    return Status::ok();
}

Status EmptyDatabaseBuilder::writeAceTables() {
    for (const SystemTable& table : aceSystemTables()) {
        auto pages = allocate(2 + table.indexes.size());
        if (!pages)
            return pages.status();
        const uint32_t definition = pages->front();
        if (Status status =
                writeTable(table, {definition, (*pages)[1], std::vector<uint32_t>(pages->begin() + 2, pages->end())});
            !status)
            return status;
        if (Status status = addObject(aceTableObject(table.name, table.catalogFlags, definition)); !status)
            return status;
        m_aceTablePages.push_back(definition);
    }
    return Status::ok();
}

Status EmptyDatabaseBuilder::addObject(const EngineObject& object) {
    auto row = rowOf(*m_objects, {{"Id", Value(object.id)},
                                  {"ParentId", Value(object.parentId)},
                                  {"Name", Value(object.name)},
                                  {"Type", Value(object.type)},
                                  {"DateCreate", Value(m_created)},
                                  {"DateUpdate", Value(m_created)},
                                  {"Owner", object.owner ? Value(*object.owner) : Value()},
                                  {"Flags", Value(static_cast<int32_t>(object.flags))}});
    if (!row)
        return row.status();
    return m_objects->insert(std::move(*row));
}

Status EmptyDatabaseBuilder::writeAccessEntries() {
    auto entries = TableWriter::load(m_pager, m_format, kAccessEntriesPage, "MSysACEs");
    if (!entries)
        return entries.status();
    std::vector<EngineAccessEntry> all = engineAccessEntries();
    for (uint32_t page : m_aceTablePages)
        for (EngineAccessEntry& entry : aceTableAccessEntries(page))
            all.push_back(std::move(entry));
    for (const EngineAccessEntry& entry : all) {
        auto row = rowOf(**entries, {{"ObjectId", Value(entry.objectId)},
                                     {"SID", Value(entry.sid)},
                                     {"ACM", Value(entry.rights)},
                                     {"FInheritable", Value(entry.inheritable)}});
        if (!row)
            return row.status();
        if (Status status = (*entries)->insert(std::move(*row)); !status)
            return status;
    }
    if (Status status = m_objects->writePending(); !status)
        return status;
    return (*entries)->writePending();
}

} // namespace

Result<std::vector<uint8_t>> emptyDatabaseImage(FileFormat format, const std::u16string& password, DateTime created) {
    EmptyDatabaseBuilder builder(format, created);
    if (Status status = builder.writeFirstPages(password); !status)
        return status.error();
    if (Status status = builder.writeJetTables(); !status)
        return status.error();
    if (format != FileFormat::Jet4)
        if (Status status = builder.writeAceTables(); !status)
            return status.error();
    if (Status status = builder.writeAccessEntries(); !status)
        return status.error();
    return builder.bytes();
}

} // namespace storage
