#pragma once

#include "database/storage/engine/index_writer.h"
#include "database/storage/engine/pager.h"
#include "database/storage/open_options.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/table/value.h"
#include "database/storage/write/index_key.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace storage {

// Adds rows to one table: the row on a data page with room, its long values on the
// column's long-value pages, an entry in every index, and the counters of the table
// definition. Every constraint (required and unique indexes, enforced relationships,
// the row size) is checked before anything is written.
class TableWriter {
public:
    // Finds the table that a related table's definition page names, for checking relationships.
    using RelatedTables = std::function<Result<TableWriter*>(uint32_t definitionPage)>;

    static Result<std::unique_ptr<TableWriter>> load(Pager& pager, FileFormat format, uint32_t definitionPage,
                                                     std::string name);

    const TableDefinition& definition() const { return m_def; }
    const std::string& name() const { return m_name; }
    void setRelatedTables(RelatedTables related) { m_related = std::move(related); }

    // One value per definition().columns entry, of the kinds the row encoder takes,
    // except that Memo and OLE columns take their text or bytes. Null in an AutoNumber
    // column takes the next number. Fails with 3058 (Null in a primary key or required
    // index), 3022 (duplicate key), 3201 (no related row), 3047 (row too large) and the
    // errors of the row and key encoders, without writing anything.
    // The row count, the last AutoNumber and the index entry counts in the table's
    // definition, and the changed index pages, are kept here as rows go in; they reach
    // their pages with the first row after a commit and then through writePending,
    // which must be called before each commit.
    Status insert(std::vector<Value> values);
    Status writePending();
    // What the index entries waiting for the commit will cost it (see IndexWriter).
    IndexWriter::LateWork lateWork();
    // After each statement: its changes are kept, or dropped (once the journal has put
    // the pages back).
    void keepStatement();
    void dropStatement();

    // Whether the index has an entry whose key is that of these values in its columns
    // (one value per column of the table, only the index's columns looked at).
    Result<bool> hasKey(uint32_t realIndex, const std::vector<Value>& values);

private:
    TableWriter(Pager& pager, FileFormat format, TableDefinition def, std::string name);
    Status prepareKeys(const std::vector<Value>& values, std::vector<std::optional<std::vector<uint8_t>>>& keys);
    Status checkRelationships(const std::vector<Value>& values);
    Status storeLongValues(std::vector<Value>& values);
    Result<RowPointer> placeRow(Bytes row);
    Status writeDefinitionCounters();

    Pager& m_pager;
    FileFormat m_format;
    TableDefinition m_def;
    std::string m_name;
    IndexKeyOptions m_keyOptions;
    std::vector<std::unique_ptr<IndexWriter>> m_indexes; // by real index
    uint32_t m_insertPage = 0;                           // the data page rows go to, 0 = none yet
    struct Counters {
        uint32_t rows = 0;
        uint32_t lastAutoNumber = 0;
        std::vector<uint32_t> uniqueEntries; // by real index
        bool changed = false;                // since they were last written
        bool definitionInBatch = false;      // written since the last commit
    };
    void keepCounters();
    Counters m_kept;
    bool m_countersChanged = false;
    bool m_definitionInBatch = false;
    std::map<uint16_t, uint32_t> m_longValuePages; // by column number
    RelatedTables m_related;
};

} // namespace storage
