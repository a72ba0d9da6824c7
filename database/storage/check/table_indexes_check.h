#pragma once

#include "database/storage/check/check_context.h"
#include "database/storage/table/table_definition.h"

#include <string>
#include <vector>

namespace storage::check {

// Checks every real index of a table against its rows: the B-tree is well formed, its
// pages are those of the index's usage map, it holds exactly one entry per indexed row
// with the key encodeIndexKey gives that row, pointing at it; unique indexes hold no key
// twice. (The definition's unique-entry count is not checked: Access lets it fall behind.)
// indexMaps: the pages of each real index's usage map, as the table check read them.
void checkTableIndexes(CheckContext& context, const TableDefinition& def, const std::string& table,
                       const std::vector<LiveRow>& rows, const std::vector<std::vector<uint32_t>>& indexMaps);

// The text of an index for findings: "'T' index 0 (PrimaryKey)".
std::string indexName(const TableDefinition& def, const std::string& table, std::size_t realIndex);

} // namespace storage::check
