#include "database/storage/write/text_encoding.h"

#include "database/storage/format/text_codec.h"
#include "database/storage/write/write_errors.h"

#include <algorithm>

namespace storage {

namespace {
constexpr std::size_t kMaxCompressedUnits = 1024;
constexpr char16_t kByteOrderMark = 0xFEFF;

bool fitsOneByte(char16_t unit) { return unit >= 0x01 && unit <= 0xFF; }
bool hasNoZeroByte(char16_t unit) { return (unit & 0xFF) != 0 && (unit >> 8) != 0; }
bool isPlainAscii(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x01 && byte <= 0x7F;
}
} // namespace

std::vector<uint8_t> encodeUtf16le(std::u16string_view units) {
    std::vector<uint8_t> out;
    out.reserve(units.size() * 2);
    for (char16_t unit : units) {
        out.push_back(static_cast<uint8_t>(unit & 0xFF));
        out.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return out;
}

std::vector<uint8_t> encodeUtf16le(std::string_view utf8) { return encodeUtf16le(utf8ToUtf16(utf8)); }

bool isCompressible(std::u16string_view units) {
    if (units.size() <= 2 || units.size() > kMaxCompressedUnits)
        return false;
    for (char16_t unit : units)
        if (!fitsOneByte(unit))
            return false;
    return true;
}

std::vector<uint8_t> encodeCompressed(std::u16string_view units) {
    std::vector<uint8_t> out{0xFF, 0xFE};
    out.reserve(units.size() + 2);
    for (char16_t unit : units)
        out.push_back(static_cast<uint8_t>(unit));
    return out;
}

std::optional<std::vector<uint8_t>> encodeMixedCompressed(std::u16string_view units) {
    std::vector<uint8_t> out{0xFF, 0xFE};
    bool compressed = true;
    for (char16_t unit : units) {
        const bool wantCompressed = fitsOneByte(unit);
        if (!wantCompressed && !hasNoZeroByte(unit))
            return std::nullopt;
        if (wantCompressed != compressed) {
            out.push_back(0x00);
            compressed = wantCompressed;
        }
        out.push_back(static_cast<uint8_t>(unit & 0xFF));
        if (!compressed)
            out.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return out;
}

bool isCompressibleAscii(std::string_view utf8) {
    // Plain ASCII's UTF-8 bytes are the compressed form's bytes.
    return utf8.size() > 2 && utf8.size() <= kMaxCompressedUnits && std::all_of(utf8.begin(), utf8.end(), isPlainAscii);
}

bool appendCompressedAscii(std::string_view utf8, std::vector<uint8_t>& out) {
    if (!isCompressibleAscii(utf8))
        return false;
    out.push_back(0xFF);
    out.push_back(0xFE);
    out.insert(out.end(), utf8.begin(), utf8.end());
    return true;
}

Result<std::vector<uint8_t>> encodeStoredText(std::string_view utf8, bool compressionAllowed) {
    if (std::vector<uint8_t> out; compressionAllowed && appendCompressedAscii(utf8, out))
        return out;
    const std::u16string units = utf8ToUtf16(utf8);
    if (!units.empty() && units.front() == kByteOrderMark) {
        auto mixed = encodeMixedCompressed(units);
        if (!mixed)
            return write_errors::textNotStorable("it starts with U+FEFF and holds a character that rules out the "
                                                 "compressed form that such text needs");
        return std::move(*mixed);
    }
    if (compressionAllowed && isCompressible(units))
        return encodeCompressed(units);
    return encodeUtf16le(units);
}

bool mayCompressText(const ColumnDefinition& column) {
    if (column.type() == ColumnType::Memo)
        return true;
    return column.type() == ColumnType::Text && !column.isFixed() && column.allowsCompressedUnicode();
}

} // namespace storage
