#include "database/storage/check/index_entries_check.h"

#include <unordered_map>

namespace storage::check {

namespace {

uint64_t slot(uint32_t page, uint8_t row) {
    return (uint64_t{page} << 8) | row;
}

std::string rowName(uint32_t page, uint8_t row) {
    return "row " + std::to_string(page) + ":" + std::to_string(row);
}

std::string hex(Bytes bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < 24; ++i) {
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 0x0F];
        out += ' ';
    }
    if (bytes.size() > 24)
        out += "...";
    else if (!out.empty())
        out.pop_back();
    return out;
}

} // namespace

void compareIndexEntries(const std::vector<LeafEntry>& entries, const std::vector<ExpectedEntry>& rows, bool unique,
                         const std::string& object, FindingCollector& findings) {
    std::unordered_map<uint64_t, std::size_t> rowAt;
    for (std::size_t i = 0; i < rows.size(); ++i)
        rowAt.emplace(slot(rows[i].row.page, rows[i].row.row), i);
    std::vector<int> matched(rows.size(), 0);
    std::vector<const ExpectedEntry*> entryRows(entries.size(), nullptr);

    for (std::size_t e = 0; e < entries.size(); ++e) {
        const IndexEntry& entry = entries[e].entry;
        const auto found = rowAt.find(slot(entry.page, entry.row));
        if (found == rowAt.end()) {
            findings.fault(entries[e].leafPage, object,
                           "entry for " + rowName(entry.page, entry.row) + ", which is not a live row of the table");
            continue;
        }
        const ExpectedEntry& row = rows[found->second];
        entryRows[e] = &row;
        if (!row.indexed)
            findings.fault(entries[e].leafPage, object,
                           "entry for " + rowName(entry.page, entry.row) +
                               ", whose key columns are all Null, in an index that ignores Nulls");
        if (++matched[found->second] == 2)
            findings.fault(entries[e].leafPage, object, "a second entry for " + rowName(entry.page, entry.row));
        if (row.key && *row.key != entry.key)
            findings.fault(entries[e].leafPage, object,
                           "entry for " + rowName(entry.page, entry.row) + " has key " + hex(entry.key) +
                               ", the row's values give " + hex(*row.key));
    }
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].indexed && matched[i] == 0)
            findings.fault(rows[i].row.page, object, rowName(rows[i].row.page, rows[i].row.row) + " has no entry");

    for (std::size_t e = 1; e < entries.size(); ++e) {
        if (entries[e].entry.key != entries[e - 1].entry.key)
            continue;
        if (unique && entryRows[e] && entryRows[e - 1] && !entryRows[e]->allNull)
            findings.fault(entries[e].leafPage, object,
                           "unique index holds key " + hex(entries[e].entry.key) + " twice, for " +
                               rowName(entries[e - 1].entry.page, entries[e - 1].entry.row) + " and " +
                               rowName(entries[e].entry.page, entries[e].entry.row));
    }
}

} // namespace storage::check
