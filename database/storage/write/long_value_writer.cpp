// Long values (Memo, OLE Object) as written. The field in the row:
//
//   offset  size  meaning
//   0       3     length of the value (bits 0-29 of a u32 together with byte 3)
//   3       1     kind: 0x80 inline, 0x40 one LVAL row, 0x00 a chain
//   4       4     row pointer (row in byte 4, page in bytes 5-7) of the first LVAL row; 0 inline
//   8       4     0
//   12      n     the data, inline values only
//
// A chain row: 4-byte row pointer of the next row (0 in the last), then up to 4072 bytes.

#include "database/storage/write/long_value_writer.h"

#include "database/storage/write/write_errors.h"

#include <algorithm>

namespace storage {

namespace {
void putU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}
uint32_t rawPointer(RowPointer pointer) { return (pointer.page << 8) | pointer.row; }
} // namespace

std::vector<uint8_t> longValueHeader(LongValueKind kind, uint32_t length, RowPointer first) {
    std::vector<uint8_t> out;
    out.reserve(kLongValueHeaderSize);
    putU32(out, (length & kMaxLongValueLength) | (uint32_t{static_cast<uint8_t>(kind)} << 24));
    putU32(out, kind == LongValueKind::Inline ? 0 : rawPointer(first));
    putU32(out, 0);
    return out;
}

LongValueKind chooseLongValueKind(std::size_t length, std::size_t rowBudget) {
    if (length <= kMaxInlineLongValue && kLongValueHeaderSize + length <= rowBudget)
        return LongValueKind::Inline;
    if (length <= kMaxSingleRowLongValue)
        return LongValueKind::SingleRow;
    return LongValueKind::Chain;
}

std::vector<uint8_t> chainRow(RowPointer next, Bytes chunk) {
    std::vector<uint8_t> out;
    out.reserve(4 + chunk.size());
    putU32(out, rawPointer(next));
    out.insert(out.end(), chunk.begin(), chunk.end());
    return out;
}

Result<std::vector<uint8_t>> storeLongValue(Bytes data, std::size_t rowBudget, LongValueRowSink& sink) {
    if (data.size() > kMaxLongValueLength)
        return write_errors::fieldTooSmall();
    const auto length = static_cast<uint32_t>(data.size());
    const LongValueKind kind = chooseLongValueKind(data.size(), rowBudget);
    if (kind == LongValueKind::Inline) {
        std::vector<uint8_t> field = longValueHeader(kind, length, {});
        field.insert(field.end(), data.begin(), data.end());
        return field;
    }
    if (kind == LongValueKind::SingleRow) {
        auto where = sink.addRow(data);
        if (!where)
            return where.status();
        return longValueHeader(kind, length, *where);
    }
    const std::size_t chunks = (data.size() + kLongValueChunk - 1) / kLongValueChunk;
    RowPointer next;
    for (std::size_t i = chunks; i-- > 0;) {
        const std::size_t start = i * kLongValueChunk;
        const Bytes chunk = data.subspan(start, std::min(kLongValueChunk, data.size() - start));
        auto where = sink.addRow(chainRow(next, chunk));
        if (!where)
            return where.status();
        next = *where;
    }
    return longValueHeader(kind, length, next);
}

} // namespace storage
