#include "database/storage/engine/table_writer.h"

#include "database/storage/engine/stored_usage_map.h"
#include "database/storage/table/data_page.h"
#include "database/storage/write/data_page_builder.h"
#include "database/storage/write/index_key.h"
#include "database/storage/write/long_value_writer.h"
#include "database/storage/write/row_encoder.h"
#include "database/storage/write/text_encoding.h"
#include "database/storage/write/write_errors.h"

#include <algorithm>
#include <random>

namespace storage {

namespace {

// Table definition header fields kept up to date after each row.
constexpr std::size_t kRowCountOffset = 0x10;
constexpr std::size_t kAutoNumberOffset = 0x14;
constexpr std::size_t kIndexCountsOffset = 0x3F; // 12 bytes per real index, unique entry count at +4
constexpr std::size_t kIndexCountSize = 12;
constexpr std::size_t kContinuationHeader = 8;

constexpr uint8_t kIndexUnique = 0x01;
constexpr uint8_t kIndexIgnoreNulls = 0x02;
constexpr uint8_t kIndexRequired = 0x08;
constexpr uint8_t kPrimaryKeyKind = 1;
constexpr uint8_t kReferencingSide = 2;

bool isPrimaryKey(const TableDefinition& def, std::size_t realIndex) {
    return std::any_of(def.logicalIndexes.begin(), def.logicalIndexes.end(), [&](const LogicalIndex& logical) {
        return logical.realIndex == realIndex && logical.kind == kPrimaryKeyKind;
    });
}

// Whether rows look the index up as they go in: for duplicate keys, or from a related
// table for its rows' related row. Other indexes take their entries at the commit.
bool isLookedUp(const TableDefinition& def, std::size_t realIndex) {
    if (def.realIndexes[realIndex].flags & kIndexUnique)
        return true;
    return std::any_of(def.logicalIndexes.begin(), def.logicalIndexes.end(), [&](const LogicalIndex& logical) {
        return logical.realIndex == realIndex && (logical.kind == kPrimaryKeyKind || logical.foreignKeyRole != 0);
    });
}

const ColumnDefinition* columnNumbered(const TableDefinition& def, uint16_t number, std::size_t* position = nullptr) {
    for (std::size_t i = 0; i < def.columns.size(); ++i)
        if (def.columns[i].number == number) {
            if (position)
                *position = i;
            return &def.columns[i];
        }
    return nullptr;
}

Guid randomGuid() {
    static std::mt19937_64 generator{std::random_device{}()};
    Guid guid;
    for (std::size_t i = 0; i < guid.bytes.size(); i += 8) {
        const uint64_t bits = generator();
        for (std::size_t j = 0; j < 8; ++j)
            guid.bytes[i + j] = static_cast<uint8_t>(bits >> (8 * j));
    }
    guid.bytes[7] = static_cast<uint8_t>((guid.bytes[7] & 0x0F) | 0x40); // version 4, as Data3 is little-endian
    guid.bytes[8] = static_cast<uint8_t>((guid.bytes[8] & 0x3F) | 0x80);
    return guid;
}

// The maps a row's page joins: a table's owned and free-space maps, or a long-value
// column's (none for a table without column maps, as the format allows).
struct PageMaps {
    const RowPointer* owned = nullptr;
    const RowPointer* free = nullptr;
};

// Appends the row to `current` while it has room, else to a new data page of `owner`
// that joins both maps; a page that is full leaves the free-space map, as Access does.
Result<RowPointer> appendToPageWithRoom(Pager& pager, uint32_t& current, uint32_t owner, PageMaps maps, Bytes row) {
    if (current != 0) {
        auto page = pager.pageToChange(current);
        if (!page)
            return page.error();
        if (auto number = appendRow(**page, row)) {
            // What changed: the header with the row offsets, and the row itself.
            const std::size_t offsetsEnd = kDataPageHeaderSize + 2 * (std::size_t{*number} + 1);
            const std::size_t rowStart = readU16(**page, offsetsEnd - 2) & kRowOffsetMask;
            if (Status status = pager.writeChanged(current, **page, 0, offsetsEnd); !status)
                return status.error();
            if (Status status = pager.writeChanged(current, **page, rowStart, row.size()); !status)
                return status.error();
            return RowPointer{current, *number};
        }
        if (maps.free)
            if (Status status = StoredUsageMap(pager, *maps.free).remove(current); !status)
                return status.error();
    }
    auto allocated = pager.allocate();
    if (!allocated)
        return allocated.error();
    for (const RowPointer* map : {maps.owned, maps.free})
        if (map)
            if (Status status = StoredUsageMap(pager, *map).add(*allocated); !status)
                return status.error();
    current = *allocated;
    std::vector<uint8_t> page = newDataPage(owner, pager.pageSize());
    const auto number = appendRow(page, row);
    if (!number)
        return write_errors::recordTooLarge();
    if (Status status = pager.write(current, std::move(page)); !status)
        return status.error();
    return RowPointer{current, *number};
}

// Long-value rows of one column, on its long-value pages.
class ColumnLongValues final : public LongValueRowSink {
public:
    ColumnLongValues(Pager& pager, const ColumnUsageMaps* maps, uint32_t& currentPage)
        : m_pager(pager), m_maps(maps ? PageMaps{&maps->ownedPages, &maps->freePages} : PageMaps{}),
          m_current(currentPage) {}

    Result<RowPointer> addRow(Bytes row) override {
        return appendToPageWithRoom(m_pager, m_current, kLongValuePageOwner, m_maps, row);
    }

private:
    Pager& m_pager;
    PageMaps m_maps;
    uint32_t& m_current;
};

// The last page of the free-space map that is also in the owned-pages map and is a data
// page of this table (or of long values, with owner "LVAL"); 0 when there is none.
Result<uint32_t> lastPageWithRoom(Pager& pager, const RowPointer& ownedMap, const RowPointer& freeMap, uint32_t owner) {
    auto owned = StoredUsageMap(pager, ownedMap).pages();
    if (!owned)
        return owned.error();
    auto candidates = StoredUsageMap(pager, freeMap).pages();
    if (!candidates)
        return candidates.error();
    for (auto at = candidates->rbegin(); at != candidates->rend(); ++at) {
        if (!std::binary_search(owned->begin(), owned->end(), *at))
            continue;
        auto page = pager.read(*at);
        if (!page)
            return page.error();
        if ((**page)[0] == kDataPageType && readU32(**page, 4) == owner)
            return *at;
    }
    return 0u;
}

} // namespace

TableWriter::TableWriter(Pager& pager, FileFormat format, TableDefinition def, std::string name)
    : m_pager(pager), m_format(format), m_def(std::move(def)), m_name(std::move(name)),
      m_keyOptions(keyOptionsFor(m_def, m_format)) {
    for (std::size_t i = 0; i < m_def.realIndexes.size(); ++i)
        m_indexes.push_back(std::make_unique<IndexWriter>(m_pager, m_def.firstPage, m_def.realIndexes[i],
                                                          isLookedUp(m_def, i) ? IndexWriter::Entries::AtOnce
                                                                               : IndexWriter::Entries::Late));
    keepCounters();
}

Result<std::unique_ptr<TableWriter>> TableWriter::load(Pager& pager, FileFormat format, uint32_t definitionPage,
                                                       std::string name) {
    auto def = readTableDefinition(pager.reader(), definitionPage);
    if (!def)
        return def.error();
    std::unique_ptr<TableWriter> writer(new TableWriter(pager, format, std::move(*def), std::move(name)));
    const TableDefinition& table = writer->m_def;

    auto insertPage = lastPageWithRoom(pager, table.ownedPages, table.freePages, table.firstPage);
    if (!insertPage)
        return insertPage.error();
    writer->m_insertPage = *insertPage;

    for (const ColumnUsageMaps& maps : table.columnUsageMaps) {
        auto page = lastPageWithRoom(pager, maps.ownedPages, maps.freePages, kLongValuePageOwner);
        if (!page)
            return page.error();
        writer->m_longValuePages[maps.columnNumber] = *page;
    }
    return writer;
}

Status TableWriter::prepareKeys(const std::vector<Value>& values,
                                std::vector<std::optional<std::vector<uint8_t>>>& keys) {
    const IndexKeyOptions& options = m_keyOptions;
    keys.assign(m_def.realIndexes.size(), std::nullopt);
    for (std::size_t i = 0; i < m_def.realIndexes.size(); ++i) {
        const RealIndex& index = m_def.realIndexes[i];
        bool anyNull = false, allNull = true;
        for (const IndexColumn& keyColumn : index.columns) {
            std::size_t position = 0;
            const ColumnDefinition* column = columnNumbered(m_def, keyColumn.columnNumber, &position);
            if (!column)
                return m_pager.reader().corrupt(m_def.firstPage, 0, "index on a column the table does not have");
            // A Yes/No value is never Null: it lives in the null mask.
            const bool isNull = values[position].isNull() && column->type() != ColumnType::Boolean;
            anyNull = anyNull || isNull;
            allNull = allNull && isNull;
        }
        if (anyNull && ((index.flags & kIndexRequired) || isPrimaryKey(m_def, i)))
            return write_errors::nullInIndex();
        if (allNull && (index.flags & kIndexIgnoreNulls))
            continue;
        auto key = encodeIndexKey(m_def, index, values, options);
        if (!key)
            return key.error();
        if (((index.flags & kIndexUnique) || isPrimaryKey(m_def, i)) && !allNull) {
            auto exists = m_indexes[i]->containsKey(*key);
            if (!exists)
                return exists.error();
            if (*exists)
                return write_errors::duplicateKey();
        }
        keys[i] = std::move(*key);
    }
    return Status::ok();
}

IndexWriter::LateWork TableWriter::lateWork() {
    IndexWriter::LateWork work;
    for (auto& index : m_indexes)
        work += index->lateWork();
    return work;
}

Result<bool> TableWriter::hasKey(uint32_t realIndex, const std::vector<Value>& values) {
    if (realIndex >= m_def.realIndexes.size())
        return m_pager.reader().corrupt(m_def.firstPage, 0, "relationship names an index the table does not have");
    auto key = encodeIndexKey(m_def, m_def.realIndexes[realIndex], values, m_keyOptions);
    if (!key)
        return key.error();
    return m_indexes[realIndex]->containsKey(*key);
}

Status TableWriter::checkRelationships(const std::vector<Value>& values) {
    for (const LogicalIndex& logical : m_def.logicalIndexes) {
        if (logical.foreignKeyRole != kReferencingSide || logical.relatedTablePage == 0 || logical.relatedIndex < 0)
            continue;
        const RealIndex& ours = m_def.realIndexes.at(logical.realIndex);
        bool allNull = true;
        for (const IndexColumn& keyColumn : ours.columns) {
            std::size_t position = 0;
            if (columnNumbered(m_def, keyColumn.columnNumber, &position) && !values[position].isNull())
                allNull = false;
        }
        if (allNull)
            continue;
        if (!m_related)
            return Error{0, "The table takes part in an enforced relationship that cannot be checked here.",
                         ErrorKind::NotSupported};
        auto related = m_related(logical.relatedTablePage);
        if (!related)
            return related.error();
        TableWriter& other = **related;
        const auto& otherLogical = other.m_def.logicalIndexes;
        auto target = std::find_if(otherLogical.begin(), otherLogical.end(), [&](const LogicalIndex& index) {
            return index.number == static_cast<uint32_t>(logical.relatedIndex);
        });
        if (target == otherLogical.end())
            return m_pager.reader().corrupt(logical.relatedTablePage, 0, "relationship names a missing index");
        const RealIndex& theirs = other.m_def.realIndexes.at(target->realIndex);
        // The related index's columns take our key columns' values, pair by pair.
        std::vector<Value> probe(other.m_def.columns.size());
        for (std::size_t k = 0; k < theirs.columns.size() && k < ours.columns.size(); ++k) {
            std::size_t from = 0, to = 0;
            if (columnNumbered(m_def, ours.columns[k].columnNumber, &from) &&
                columnNumbered(other.m_def, theirs.columns[k].columnNumber, &to))
                probe[to] = values[from];
        }
        auto found = other.hasKey(target->realIndex, probe);
        if (!found)
            return found.error();
        if (!*found)
            return write_errors::relatedRecordRequired(other.m_name);
    }
    return Status::ok();
}

Status TableWriter::storeLongValues(std::vector<Value>& values) {
    if (m_def.columnUsageMaps.empty() &&
        std::none_of(m_def.columns.begin(), m_def.columns.end(),
                     [](const ColumnDefinition& column) { return column.isLongValue(); }))
        return Status::ok();
    // The row without its long values' data must fit first: then whatever is left is
    // the budget for inline values, and nothing is stored for a row that is too large.
    std::vector<Value> placeholders = values;
    std::vector<std::vector<uint8_t>> data(values.size());
    for (std::size_t i = 0; i < m_def.columns.size(); ++i) {
        const ColumnDefinition& column = m_def.columns[i];
        if (!column.isLongValue() || values[i].isNull())
            continue;
        if (column.type() == ColumnType::Memo) {
            const std::string* text = std::get_if<std::string>(&values[i].storage());
            if (!text)
                return write_errors::typeMismatch();
            auto encoded = encodeStoredText(*text, mayCompressText(column));
            if (!encoded)
                return encoded.error();
            data[i] = std::move(*encoded);
        } else {
            const BinaryValue* bytes = std::get_if<BinaryValue>(&values[i].storage());
            if (!bytes)
                return write_errors::typeMismatch();
            data[i] = *bytes;
        }
        placeholders[i] = Value(BinaryValue(kLongValueHeaderSize, 0));
    }
    auto base = encodeRow(m_def, placeholders);
    if (!base)
        return base.error();
    std::size_t budget = kMaxRowSize - base->size();
    for (std::size_t i = 0; i < m_def.columns.size(); ++i) {
        const ColumnDefinition& column = m_def.columns[i];
        if (!column.isLongValue() || values[i].isNull())
            continue;
        const ColumnUsageMaps* maps = nullptr;
        for (const ColumnUsageMaps& candidate : m_def.columnUsageMaps)
            if (candidate.columnNumber == column.number)
                maps = &candidate;
        ColumnLongValues sink(m_pager, maps, m_longValuePages[column.number]);
        auto field = storeLongValue(data[i], budget + kLongValueHeaderSize, sink);
        if (!field)
            return field.error();
        budget -= field->size() - kLongValueHeaderSize;
        values[i] = Value(std::move(*field));
    }
    return Status::ok();
}

Result<RowPointer> TableWriter::placeRow(Bytes row) {
    return appendToPageWithRoom(m_pager, m_insertPage, m_def.firstPage, PageMaps{&m_def.ownedPages, &m_def.freePages},
                                row);
}

Status TableWriter::insert(std::vector<Value> values) {
    if (values.size() != m_def.columns.size())
        return write_errors::valueCountMismatch();
    for (std::size_t i = 0; i < m_def.columns.size(); ++i) {
        const ColumnDefinition& column = m_def.columns[i];
        if (!values[i].isNull())
            continue;
        if (column.isAutoNumber() && column.type() == ColumnType::Long)
            values[i] = Value(static_cast<int32_t>(m_def.lastAutoNumber + 1));
        else if (column.isGuidAutoNumber() && column.type() == ColumnType::Guid)
            values[i] = Value(randomGuid());
    }

    std::vector<std::optional<std::vector<uint8_t>>> keys;
    if (Status status = prepareKeys(values, keys); !status)
        return status;
    if (Status status = checkRelationships(values); !status)
        return status;
    uint32_t autoNumber = m_def.lastAutoNumber;
    for (std::size_t i = 0; i < m_def.columns.size(); ++i)
        if (m_def.columns[i].isAutoNumber() && m_def.columns[i].type() == ColumnType::Long)
            if (const int32_t* number = std::get_if<int32_t>(&values[i].storage()); number && *number > 0)
                autoNumber = std::max(autoNumber, static_cast<uint32_t>(*number));

    if (Status status = storeLongValues(values); !status)
        return status;
    auto row = encodeRow(m_def, values);
    if (!row)
        return row.error();
    auto where = placeRow(*row);
    if (!where)
        return where.error();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!keys[i])
            continue;
        auto added = m_indexes[i]->insert(IndexEntry{std::move(*keys[i]), where->page, where->row, 0});
        if (!added)
            return added.error(); // dropping the statement puts the counts back too
        if (*added)
            ++m_def.realIndexes[i].uniqueEntryCount;
    }
    ++m_def.rowCount;
    m_def.lastAutoNumber = autoNumber;
    m_countersChanged = true;
    // The first row after a commit writes the counters at once: the definition's pages
    // are then part of the batch, and writing them again at the commit needs no room.
    if (!m_definitionInBatch) {
        m_definitionInBatch = true;
        return writeDefinitionCounters();
    }
    return Status::ok();
}

Status TableWriter::writePending() {
    for (std::size_t i = 0; i < m_indexes.size(); ++i) {
        uint32_t newKeys = 0;
        if (Status status = m_indexes[i]->writeChangedPages(newKeys); !status)
            return status;
        if (newKeys != 0) {
            m_def.realIndexes[i].uniqueEntryCount += newKeys;
            m_countersChanged = true;
        }
    }
    m_definitionInBatch = false;
    if (!m_countersChanged)
        return Status::ok();
    return writeDefinitionCounters();
}

// Into the kept counters' own room: this comes after every statement.
void TableWriter::keepCounters() {
    m_kept.rows = m_def.rowCount;
    m_kept.lastAutoNumber = m_def.lastAutoNumber;
    m_kept.uniqueEntries.resize(m_def.realIndexes.size());
    for (std::size_t i = 0; i < m_def.realIndexes.size(); ++i)
        m_kept.uniqueEntries[i] = m_def.realIndexes[i].uniqueEntryCount;
    m_kept.changed = m_countersChanged;
    m_kept.definitionInBatch = m_definitionInBatch;
}

void TableWriter::keepStatement() {
    for (auto& index : m_indexes)
        index->keepStatement();
    // Every row counts, and the flags change when the counters are written: nothing
    // else can have changed when these have not.
    if (m_kept.rows != m_def.rowCount || m_kept.changed != m_countersChanged ||
        m_kept.definitionInBatch != m_definitionInBatch)
        keepCounters();
}

void TableWriter::dropStatement() {
    for (auto& index : m_indexes)
        index->dropStatement();
    m_def.rowCount = m_kept.rows;
    m_def.lastAutoNumber = m_kept.lastAutoNumber;
    for (std::size_t i = 0; i < m_def.realIndexes.size() && i < m_kept.uniqueEntries.size(); ++i)
        m_def.realIndexes[i].uniqueEntryCount = m_kept.uniqueEntries[i];
    m_countersChanged = m_kept.changed;
    m_definitionInBatch = m_kept.definitionInBatch;
}

Status TableWriter::writeDefinitionCounters() {
    std::vector<std::pair<std::size_t, uint32_t>> fields{{kRowCountOffset, m_def.rowCount},
                                                         {kAutoNumberOffset, m_def.lastAutoNumber}};
    for (std::size_t i = 0; i < m_def.realIndexes.size(); ++i)
        fields.emplace_back(kIndexCountsOffset + kIndexCountSize * i + 4, m_def.realIndexes[i].uniqueEntryCount);

    // Offsets are into the definition as one buffer: the first page whole, then each
    // continuation page after its header.
    const std::size_t pageSize = m_pager.pageSize();
    std::map<std::size_t, std::vector<uint8_t>> pages;
    for (const auto& [offset, value] : fields) {
        for (std::size_t byte = 0; byte < 4; ++byte) {
            const std::size_t at = offset + byte;
            std::size_t pageIndex = 0, within = at;
            if (at >= pageSize) {
                pageIndex = 1 + (at - pageSize) / (pageSize - kContinuationHeader);
                within = kContinuationHeader + (at - pageSize) % (pageSize - kContinuationHeader);
            }
            if (pageIndex >= m_def.pages.size())
                return m_pager.reader().corrupt(m_def.firstPage, 0, "table definition shorter than its indexes");
            auto found = pages.find(pageIndex);
            if (found == pages.end()) {
                auto handle = m_pager.read(m_def.pages[pageIndex]);
                if (!handle)
                    return handle.error();
                found = pages.emplace(pageIndex, **handle).first;
            }
            found->second[within] = static_cast<uint8_t>(value >> (8 * byte));
        }
    }
    for (auto& [pageIndex, bytes] : pages)
        if (Status status = m_pager.write(m_def.pages[pageIndex], std::move(bytes)); !status)
            return status;
    m_countersChanged = false;
    return Status::ok();
}

} // namespace storage
