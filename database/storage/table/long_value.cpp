// Long values (Memo, OLE Object). In the row:
//
//   offset  size  meaning
//   0       4     bits 0-29: length of the value; bits 30-31 (byte 3 & 0xC0): 0x80 inline,
//                 0x40 one LVAL row, 0x00 a chain of LVAL rows
//   4       4     row pointer to the first LVAL row (0 when inline)
//   8       4     unknown
//   12      n     inline data
//
// A chain row starts with the row pointer of the next row (0 in the last), then data.

#include "database/storage/table/long_value.h"

#include "database/storage/table/data_page.h"

#include <algorithm>
#include <set>

namespace storage {

namespace {
constexpr std::size_t kHeaderSize = 12;
constexpr uint32_t kLengthMask = 0x3FFFFFFF;
constexpr uint8_t kInline = 0x80;
constexpr uint8_t kSingleRow = 0x40;
constexpr uint8_t kChain = 0x00;
} // namespace

Result<std::vector<uint8_t>> readLongValue(PageReader& pages, Bytes field, uint32_t rowPage, uint32_t rowOffset) {
    if (field.size() < kHeaderSize)
        return pages.corrupt(rowPage, rowOffset, "long value header shorter than 12 bytes");
    const uint32_t length = readU32(field, 0) & kLengthMask;
    const uint8_t kind = field[3] & 0xC0;
    if (kind == kInline) {
        if (length > field.size() - kHeaderSize)
            return pages.corrupt(rowPage, rowOffset, "inline long value longer than its row");
        const Bytes data = field.subspan(kHeaderSize, length);
        return std::vector<uint8_t>(data.begin(), data.end());
    }
    // No value can be larger than the file that holds it.
    const uint64_t fileBytes = uint64_t{pages.pageCount()} * pages.pageSize();
    if (length > fileBytes)
        return pages.corrupt(rowPage, rowOffset, "long value longer than the file");
    const RowPointer first = RowPointer::fromRaw(readU32(field, 4));
    if (kind == kSingleRow) {
        auto row = readRowAt(pages, first, 0);
        if (!row)
            return row.error();
        // A row shorter than the stated length gives what it holds, as Access does.
        const Bytes data = row->bytes.first(std::min<std::size_t>(row->bytes.size(), length));
        return std::vector<uint8_t>(data.begin(), data.end());
    }
    if (kind != kChain)
        return pages.corrupt(rowPage, rowOffset, "unknown long value kind");

    std::vector<uint8_t> value;
    value.reserve(std::min<std::size_t>(length, std::size_t{1} << 20));
    std::set<std::pair<uint32_t, uint8_t>> visited;
    RowPointer next = first;
    while (value.size() < length && !next.isNull()) {
        if (!visited.insert({next.page, next.row}).second)
            return pages.corrupt(next.page, 0, "long value chain forms a cycle");
        auto row = readRowAt(pages, next, 0);
        if (!row)
            return row.error();
        if (row->bytes.size() < 4)
            return pages.corrupt(next.page, 0, "long value chain row shorter than its pointer");
        next = RowPointer::fromRaw(readU32(row->bytes, 0));
        const Bytes chunk = row->bytes.subspan(4);
        value.insert(value.end(), chunk.begin(),
                     chunk.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(chunk.size(), length - value.size())));
    }
    return value;
}

} // namespace storage
