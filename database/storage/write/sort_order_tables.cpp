// The text-index codes of the two General sort orders (LCID 1033): per UTF-16
// unit its kind and bytes. They reproduce the keys Access writes. The codes of
// U+0000-U+FFFF without the surrogates come from sort_order_data.cpp, generated
// by scripts/generate-sort-order-tables.py, whose comment describes the byte
// stream read here; the surrogates' codes are computed.

#include "database/storage/write/sort_order_tables.h"

#include "database/storage/write/sort_order_data.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <span>

namespace storage {

namespace {

using Table = std::array<TextKeyCode, 0x10000>;

constexpr uint8_t kSurrogateExtra = 0x3F;

bool hasInline(TextCodeKind kind) {
    return kind == TextCodeKind::Simple || kind == TextCodeKind::International || kind == TextCodeKind::Flagged;
}

bool hasExtra(TextCodeKind kind) {
    return kind != TextCodeKind::Simple && kind != TextCodeKind::Ignored;
}

// Adds step to the inline bytes, read as one big-endian number.
void increase(TextKeyCode& code, unsigned step) {
    for (std::size_t i = code.inlineLength; i-- > 0 && step != 0;) {
        const unsigned sum = code.inlineBytes[i] + step;
        code.inlineBytes[i] = static_cast<uint8_t>(sum);
        step = sum >> 8;
    }
}

// Reads the stream. The data is part of the program and its generator reads it back before
// writing it; should it still be malformed, reading stays within it and the table within bounds.
class StreamReader {
public:
    explicit StreamReader(std::span<const uint8_t> data) : m_data(data) {}
    bool atEnd() const { return m_at == m_data.size(); }
    uint8_t byte() { return m_at < m_data.size() ? m_data[m_at++] : 0; }
    template <std::size_t N> uint8_t bytes(std::array<uint8_t, N>& into) {
        const auto length = static_cast<uint8_t>(std::min<std::size_t>(byte(), N));
        for (uint8_t i = 0; i < length; ++i)
            into[i] = byte();
        return length;
    }

private:
    std::span<const uint8_t> m_data;
    std::size_t m_at = 0;
};

std::unique_ptr<Table> readTable(std::span<const uint8_t> data) {
    auto table = std::make_unique<Table>();
    std::size_t unit = 0;
    TextKeyCode before;
    const auto add = [&](const TextKeyCode& code) {
        if (unit == 0xD800)
            unit = 0xE000; // the surrogates are not in the stream
        if (unit <= 0xFFFF)
            (*table)[unit++] = code;
        before = code;
    };
    StreamReader stream(data);
    while (!stream.atEnd()) {
        const uint8_t op = stream.byte();
        if (op < 0x40) { // codes whose inline bytes step by the bytes that follow
            for (int n = op + 1; n > 0; --n) {
                TextKeyCode code = before;
                increase(code, stream.byte());
                add(code);
            }
        } else if (op < 0x60) { // copies of the code before
            for (int n = op - 0x40 + 1; n > 0; --n)
                add(before);
        } else if (op < 0x80) { // codes whose inline bytes step by one amount
            const uint8_t step = stream.byte();
            for (int n = op - 0x60 + 1; n > 0; --n) {
                TextKeyCode code = before;
                increase(code, step);
                add(code);
            }
        } else { // a code of a kind, told in full or as a change from the code before
            const unsigned kind = (op >> 2) & 7;
            TextKeyCode code;
            code.kind = kind <= static_cast<unsigned>(TextCodeKind::Ignored) ? static_cast<TextCodeKind>(kind)
                                                                             : TextCodeKind::Ignored;
            if (hasInline(code.kind)) {
                if (op & 2) {
                    code.inlineLength = before.inlineLength;
                    code.inlineBytes = before.inlineBytes;
                    increase(code, stream.byte());
                } else {
                    code.inlineLength = stream.bytes(code.inlineBytes);
                }
            }
            if (hasExtra(code.kind)) {
                if (op & 1) {
                    code.extraLength = before.extraLength;
                    code.extraBytes = before.extraBytes;
                    code.flag = before.flag;
                } else {
                    code.extraLength = stream.bytes(code.extraBytes);
                    if (code.kind == TextCodeKind::Flagged)
                        code.flag = stream.byte();
                }
            }
            add(code);
        }
    }

    // A high surrogate's inline bytes are the unit less 10238; a low one's the unit less
    // 9984 to 9992, by where it falls in its block of 1024. Access writes them so.
    for (unsigned surrogate = 0xD800; surrogate < 0xE000; ++surrogate) {
        unsigned value = surrogate - 10238;
        if (surrogate >= 0xDC00) {
            const unsigned d = (surrogate - 0xDC00) % 1024;
            value = surrogate - (d < 8 ? 9992 : d < 262 ? 9990 : d < 516 ? 9988 : d < 770 ? 9986 : 9984);
        }
        TextKeyCode& code = (*table)[surrogate];
        code.kind = TextCodeKind::International;
        code.inlineLength = 2;
        code.inlineBytes = {static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value & 0xFF)};
        code.extraLength = 1;
        code.extraBytes = {kSurrogateExtra};
    }
    return table;
}

} // namespace

const std::array<TextKeyCode, 0x10000>& textKeyCodes(TextSortOrder order) {
    // Read on first use, once (a static's initialisation is thread-safe).
    if (order == TextSortOrder::General) {
        static const std::unique_ptr<Table> general = readTable(sort_order_data::general());
        return *general;
    }
    static const std::unique_ptr<Table> legacy = readTable(sort_order_data::generalLegacy());
    return *legacy;
}

} // namespace storage
