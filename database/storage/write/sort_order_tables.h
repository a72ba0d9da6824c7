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
    International, // inline bytes of the base letter, extra bytes (an accent code) in the extra section
    Unprintable,   // its bytes in the unprintable section only
    Modifier,      // one byte added to the extra code of the character before
    Flagged,       // inline bytes, extra bytes when it has any, and a flag (2 or 3) in the flag section
    Ignored,       // contributes nothing
};

struct TextKeyCode {
    TextCodeKind kind = TextCodeKind::Ignored;
    uint8_t inlineLength = 0;
    uint8_t extraLength = 0; // International, Flagged: extra bytes; Unprintable: its bytes; Modifier: 1
    uint8_t flag = 0;        // Flagged: 2 or 3
    std::array<uint8_t, 8> inlineBytes = {};
    std::array<uint8_t, 3> extraBytes = {};
};

// The codes of all 65,536 UTF-16 code units, indexed by unit. A surrogate is
// keyed as a unit of its own: two inline bytes computed from it and the extra code 3F.
const std::array<TextKeyCode, 0x10000>& textKeyCodes(TextSortOrder order);

} // namespace storage
