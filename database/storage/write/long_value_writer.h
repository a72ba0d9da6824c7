#pragma once

#include "database/storage/format/bytes.h"
#include "database/storage/status.h"

#include <cstdint>
#include <vector>

namespace storage {

// Where a Memo or OLE value's bytes live, as the top two bits of its length field say.
enum class LongValueKind : uint8_t {
    Inline = 0x80,    // after the 12-byte header, in the row itself
    SingleRow = 0x40, // one row of an LVAL page
    Chain = 0x00,     // rows of LVAL pages, each starting with the pointer to the next
};

inline constexpr std::size_t kLongValueHeaderSize = 12;
inline constexpr std::size_t kMaxInlineLongValue = 64;      // longer values leave the row, as Access does
inline constexpr std::size_t kMaxSingleRowLongValue = 4076; // the largest LVAL row
inline constexpr std::size_t kLongValueChunk = 4072;        // data per chain row after its 4-byte pointer
inline constexpr uint32_t kMaxLongValueLength = 0x3FFFFFFF;

// The 12-byte header: u32 length | kind << 24, the row pointer of the first
// LVAL row (0 when inline), 4 zero bytes.
std::vector<uint8_t> longValueHeader(LongValueKind kind, uint32_t length, RowPointer first);

// Inline when the header and data fit the row's remaining budget and the
// data has at most 64 bytes; else one LVAL row up to 4076 bytes; else a chain.
LongValueKind chooseLongValueKind(std::size_t length, std::size_t rowBudget);

// One row of a chain: the next row's pointer (null in the last) and the chunk.
std::vector<uint8_t> chainRow(RowPointer next, Bytes chunk);

// Where the caller puts LVAL rows: the column's LVAL pages, chosen and
// allocated by the caller (a page with room from the column's maps, or a new
// one added to both).
class LongValueRowSink {
public:
    virtual ~LongValueRowSink() = default;
    // Stores one row on an LVAL page and says where it went.
    virtual Result<RowPointer> addRow(Bytes row) = 0;
};

// Stores a value's bytes (Memo: already encoded by encodeStoredText) and
// returns its field for the row: the header and, when inline, the data.
// A chain is stored from its last chunk to its first, so that each row can
// name the row after it when it is written. Fails with 3163 past
// kMaxLongValueLength, and with whatever the sink reports.
Result<std::vector<uint8_t>> storeLongValue(Bytes data, std::size_t rowBudget, LongValueRowSink& sink);

} // namespace storage
