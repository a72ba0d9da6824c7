#pragma once

#include "database/storage/format/bytes.h"

#include <string>
#include <string_view>

namespace storage {

// UTF-16LE bytes to UTF-8. Unpaired surrogates become U+FFFD: Access stores
// code units without validating them, and UTF-8 cannot hold them.
std::string utf16leToUtf8(Bytes bytes);

// Text as stored in a Text or Memo value: plain UTF-16LE, or "Unicode
// compressed" when it starts with FF FE (a 00 byte toggles between one byte
// per character and two, starting with one).
std::string decodeStoredText(Bytes bytes);

// UTF-8 to UTF-16 code units; invalid sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);

// Case folding used for names: look-ups and the order of the schema rowset
// ignore case as the catalogue's name index does. Covers Latin, Greek and
// Cyrillic letters, which is where Access names live in practice.
char32_t foldCase(char32_t c);
std::u32string foldedName(std::string_view utf8);

} // namespace storage
