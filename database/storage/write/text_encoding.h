#pragma once

#include "database/storage/status.h"
#include "database/storage/table/table_definition.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

// Text and Memo values as stored: plain UTF-16LE ("UCS-2"), or "Unicode
// compressed": FF FE, then runs that start compressed (one byte per
// character U+0001-U+00FF) and switch at each 00 byte to two bytes per unit
// and back.

// UTF-16LE bytes of UTF-8 text; characters outside the BMP become surrogate pairs.
std::vector<uint8_t> encodeUtf16le(std::string_view utf8);
std::vector<uint8_t> encodeUtf16le(std::u16string_view units);

// Access's rule for compressing a value: more than 2 and at most 1024 units,
// each U+0001-U+00FF. Only then is the result shorter and a single run.
bool isCompressible(std::u16string_view units);

// FF FE and one compressed run; requires isCompressible(units).
std::vector<uint8_t> encodeCompressed(std::u16string_view units);

// FF FE and alternating runs. Units U+0001-U+00FF go into compressed runs,
// the rest into uncompressed ones; nullopt when a unit cannot be written in
// either (U+0000, or a unit above U+00FF with a 00 byte such as U+0100 or U+4E00).
std::optional<std::vector<uint8_t>> encodeMixedCompressed(std::u16string_view units);

// The bytes this engine stores for a Text or Memo value: compressed when the
// column allows it (extended flag 0x01) and isCompressible, else UTF-16LE.
// A value starting with U+FEFF would read as compressed when stored plainly,
// so it is always written in mixed runs; when that is impossible the value is
// refused (NotSupported).
Result<std::vector<uint8_t>> encodeStoredText(std::string_view utf8, bool compressionAllowed);
// The common case of encodeStoredText with compression allowed: text of plain ASCII
// that qualifies for the compressed form, which is then FF FE and the text's own bytes.
bool isCompressibleAscii(std::string_view utf8);
// That form appended to `out`; false, with nothing appended, for any other text.
bool appendCompressedAscii(std::string_view utf8, std::vector<uint8_t>& out);

// Whether values of this column may be stored compressed. Text columns say
// so with extended flag 0x01. Memo values are compressed by Access whatever
// that flag says (every compressible Memo value in Access-made files is), so
// this engine does the same. Fixed-length text is never compressed.
bool mayCompressText(const ColumnDefinition& column);

} // namespace storage
