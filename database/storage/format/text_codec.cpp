#include "database/storage/format/text_codec.h"

namespace storage {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Appends code units, pairing surrogates across calls through pendingHigh.
class Utf16Appender {
public:
    explicit Utf16Appender(std::string& out) : m_out(out) {}
    void add(char16_t unit) {
        if (m_pendingHigh != 0) {
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                appendUtf8(m_out, 0x10000 + ((char32_t{m_pendingHigh} - 0xD800) << 10) + (unit - 0xDC00));
                m_pendingHigh = 0;
                return;
            }
            appendUtf8(m_out, 0xFFFD);
            m_pendingHigh = 0;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF)
            m_pendingHigh = unit;
        else if (unit >= 0xDC00 && unit <= 0xDFFF)
            appendUtf8(m_out, 0xFFFD);
        else
            appendUtf8(m_out, unit);
    }
    void finish() {
        if (m_pendingHigh != 0)
            appendUtf8(m_out, 0xFFFD);
        m_pendingHigh = 0;
    }

private:
    std::string& m_out;
    char16_t m_pendingHigh = 0;
};

} // namespace

std::string utf16leToUtf8(Bytes bytes) {
    std::string out;
    out.reserve(bytes.size() / 2);
    Utf16Appender appender(out);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        appender.add(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    appender.finish();
    return out;
}

std::string decodeStoredText(Bytes bytes) {
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE)
        return utf16leToUtf8(bytes);
    std::string out;
    out.reserve(bytes.size());
    Utf16Appender appender(out);
    bool compressed = true;
    std::size_t i = 2;
    while (i < bytes.size()) {
        // Any 00 byte toggles, also where a two-byte unit would start mid-run:
        // Access never writes such units inside uncompressed runs.
        if (bytes[i] == 0) {
            compressed = !compressed;
            ++i;
        } else if (compressed) {
            appender.add(bytes[i]);
            ++i;
        } else {
            if (i + 1 >= bytes.size())
                break;
            appender.add(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
            i += 2;
        }
    }
    appender.finish();
    return out;
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) { // ASCII, most text
            out.push_back(lead);
            ++i;
            continue;
        }
        char32_t c = 0xFFFD;
        std::size_t length = 1;
        if ((lead >> 5) == 0x6) {
            length = 2;
            c = lead & 0x1F;
        } else if ((lead >> 4) == 0xE) {
            length = 3;
            c = lead & 0x0F;
        } else if ((lead >> 3) == 0x1E) {
            length = 4;
            c = lead & 0x07;
        } else {
            length = 0;
        }
        if (length == 0 || i + length > text.size()) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        bool valid = true;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next >> 6) != 0x2)
                valid = false;
            c = (c << 6) | (next & 0x3F);
        }
        if (!valid || c > 0x10FFFF) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

char32_t foldCase(char32_t c) {
    if (c >= U'A' && c <= U'Z')
        return c + 32;
    if (c < 0x80)
        return c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x410 && c <= 0x42F) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2))
        return c + 32;
    if (c >= 0x400 && c <= 0x40F)
        return c + 80;
    // Latin Extended-A and Cyrillic supplements pair upper and lower case as even/odd.
    if ((c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 && c != 0x17F) ||
        (c >= 0x460 && c <= 0x4BF)) {
        const bool oddUpper = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddUpper)
            return (c % 2 == 1) ? c + 1 : c;
        return (c % 2 == 0) ? c + 1 : c;
    }
    return c;
}

std::u32string foldedName(std::string_view utf8) {
    const std::u16string units = utf8ToUtf16(utf8);
    std::u32string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        out += foldCase(c);
    }
    return out;
}

} // namespace storage
