#pragma once

#include <array>
#include <cstdint>

namespace storage {

// The text sort orders this engine can key: LCID 1033 ("General"), in its
// two versions. Other collations are refused.
enum class TextSortOrder {
    GeneralLegacy, // sort-order version 0: Jet 4, ACE 12, and later files that keep it
    General,       // sort-order version 1: Access 2010 and later
};

enum class TextCodeKind : uint8_t {
    Simple,        // inline bytes only
    International, // inline bytes of the base letter, an accent code in the extra section
    Unprintable,   // a code in the unprintable section only
    Ignored,       // contributes nothing
};

struct TextKeyCode {
    TextCodeKind kind;
    uint8_t inlineLength;
    std::array<uint8_t, 4> inlineBytes;
    uint8_t code; // International: the extra code; Unprintable: its code
};

// The codes for U+0000-U+00FF, indexed by code point.
const std::array<TextKeyCode, 256>& textKeyCodes(TextSortOrder order);

} // namespace storage
