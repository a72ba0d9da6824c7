// Where a variable column's value lies in a row (see row_decoder.cpp for the layout):
// the null mask at the end, before it the number of variable offsets v, before that the
// offsets of variable columns 0..v-1 and the end of the variable data. A long value's
// field starts with a 12-byte header: u32 length with the kind in its top two bits
// (0x80 inline, 0x40 one LVAL row, 0x00 a chain), then the row pointer of the first
// LVAL row. Chain rows start with the row pointer of the next one.

#include "database/storage/check/long_value_pages.h"

#include "database/storage/table/data_page.h"

#include <optional>
#include <set>

namespace storage::check {

namespace {

constexpr uint32_t kLengthMask = 0x3FFFFFFF;
constexpr uint8_t kKindMask = 0xC0;
constexpr uint8_t kSingleRow = 0x40;
constexpr uint8_t kChain = 0x00;
constexpr std::size_t kHeaderSize = 12;

// The bytes of a variable column's value, when the row holds one.
std::optional<Bytes> variableField(const TableDefinition& def, const ColumnDefinition& column, Bytes row) {
    const uint16_t columns = readU16(row, 0);
    const std::size_t maskStart = row.size() - (std::size_t{columns} + 7) / 8;
    if (def.variableColumns == 0 || column.number >= columns ||
        !(row[maskStart + column.number / 8] & (1u << (column.number % 8))))
        return std::nullopt;
    const std::size_t offsetsEnd = maskStart - 2;
    const std::size_t count = readU16(row, offsetsEnd);
    if (column.varIndex >= count)
        return std::nullopt;
    const std::size_t dataEnd = readU16(row, offsetsEnd - 2 - 2 * count);
    const std::size_t startAt = offsetsEnd - 2 - 2 * std::size_t{column.varIndex};
    const std::size_t start = readU16(row, startAt);
    const std::size_t end = column.varIndex + 1u < count ? readU16(row, startAt - 2) : dataEnd;
    if (start > end || end > row.size())
        return std::nullopt;
    return row.subspan(start, end - start);
}

} // namespace

Result<std::vector<LongValuePage>> longValuePages(PageReader& pages, const TableDefinition& def, Bytes row) {
    std::vector<LongValuePage> out;
    for (std::size_t c = 0; c < def.columns.size(); ++c) {
        const ColumnDefinition& column = def.columns[c];
        if (!column.isLongValue())
            continue;
        const std::optional<Bytes> field = variableField(def, column, row);
        if (!field || field->size() < kHeaderSize)
            continue;
        const uint8_t kind = (*field)[3] & kKindMask;
        const uint32_t length = readU32(*field, 0) & kLengthMask;
        RowPointer next = RowPointer::fromRaw(readU32(*field, 4));
        if (kind == kSingleRow) {
            out.push_back({c, next.page});
            continue;
        }
        if (kind != kChain)
            continue;
        // As the reader does: rows until the value's length is reached or the chain ends.
        std::set<std::pair<uint32_t, uint8_t>> seen;
        std::size_t gathered = 0;
        while (gathered < length && !next.isNull() && seen.insert({next.page, next.row}).second) {
            auto chunk = readRowAt(pages, next, 0);
            if (!chunk)
                return chunk.error();
            out.push_back({c, next.page});
            if (chunk->bytes.size() < 4)
                break;
            gathered += chunk->bytes.size() - 4;
            next = RowPointer::fromRaw(readU32(chunk->bytes, 0));
        }
    }
    return out;
}

} // namespace storage::check
