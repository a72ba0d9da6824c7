#include "database/storage/check/table_indexes_check.h"

#include "database/storage/check/index_entries_check.h"
#include "database/storage/check/index_tree_check.h"
#include "database/storage/write/index_key.h"

#include <algorithm>

namespace storage::check {

namespace {

constexpr uint8_t kUnique = 0x01;
constexpr uint8_t kIgnoreNulls = 0x02;
constexpr uint8_t kPrimaryKeyKind = 1;

bool isUnique(const TableDefinition& def, std::size_t realIndex) {
    return (def.realIndexes[realIndex].flags & kUnique) ||
           std::any_of(def.logicalIndexes.begin(), def.logicalIndexes.end(), [&](const LogicalIndex& logical) {
               return logical.realIndex == realIndex && logical.kind == kPrimaryKeyKind;
           });
}

// Whether every key column of the row is Null (a Yes/No value never is).
bool allKeyColumnsNull(const TableDefinition& def, const RealIndex& index, const LiveRow& row) {
    for (const IndexColumn& key : index.columns)
        for (std::size_t c = 0; c < def.columns.size(); ++c)
            if (def.columns[c].number == key.columnNumber &&
                (def.columns[c].type() == ColumnType::Boolean || !row.values[c].isNull()))
                return false;
    return true;
}

} // namespace

std::string indexName(const TableDefinition& def, const std::string& table, std::size_t realIndex) {
    std::string names;
    for (const LogicalIndex& logical : def.logicalIndexes)
        if (logical.realIndex == realIndex)
            names += (names.empty() ? "" : ", ") + logical.name;
    return "'" + table + "' index " + std::to_string(realIndex) + (names.empty() ? "" : " (" + names + ")");
}

void checkTableIndexes(CheckContext& context, const TableDefinition& def, const std::string& table,
                       const std::vector<LiveRow>& rows, const std::vector<std::vector<uint32_t>>& indexMaps) {
    const IndexKeyOptions options = keyOptionsFor(def, context.format);
    for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
        const RealIndex& index = def.realIndexes[i];
        const std::string object = indexName(def, table, i);
        const IndexTree tree = walkIndexTree(context.pages, def.firstPage, index.rootPage, object, context.findings);
        const std::vector<uint32_t>& map = indexMaps[i];
        for (uint32_t page : tree.pages)
            if (context.owners.claim(page, object, "the B-tree of " + object) &&
                !std::binary_search(map.begin(), map.end(), page))
                context.findings.fault(page, object, "page of the B-tree is not in the index's usage map");
        std::vector<uint32_t> reached = tree.pages;
        std::sort(reached.begin(), reached.end());
        for (uint32_t page : map)
            if (!std::binary_search(reached.begin(), reached.end(), page))
                context.findings.fault(page, object, "page of the index's usage map is not in its B-tree");

        std::vector<ExpectedEntry> expected;
        expected.reserve(rows.size());
        std::string keyProblem;
        for (const LiveRow& row : rows) {
            ExpectedEntry entry;
            entry.row = row.where;
            entry.allNull = allKeyColumnsNull(def, index, row);
            entry.indexed = !(entry.allNull && (index.flags & kIgnoreNulls));
            if (auto key = encodeIndexKey(def, index, row.values, options))
                entry.key = std::move(*key);
            else if (keyProblem.empty())
                keyProblem = key.error().description;
            expected.push_back(std::move(entry));
        }
        if (!keyProblem.empty())
            context.findings.skipped(object, "keys of some rows not compared, only their presence: " + keyProblem);
        compareIndexEntries(tree.entries, expected, isUnique(def, i), object, context.findings);
    }
}

} // namespace storage::check
