// Text index keys for the General sort orders. For one value:
//
//   inline codes of the characters  01  [extra section]  [01 01 01 unprintable section]  00
//
// The extra section holds one byte per inline position up to the last
// accented character (02 where there is no accent); an unprintable entry is
// u16 big-endian (7 + 4 * position) | 0x8000, 06, its code. Descending keys
// invert everything up to and including the 00, then add another 00.

#include "database/storage/write/text_index_key.h"

#include "database/storage/write/write_errors.h"

namespace storage {

namespace {

constexpr std::size_t kMaxKeyedUnits = 255;
constexpr uint16_t kLcidGeneral = 1033;
constexpr uint8_t kNoAccent = 0x02;
constexpr uint8_t kEndOfText = 0x01;
constexpr uint8_t kEndOfKey = 0x00;
constexpr uint8_t kUnprintableMarker = 0x06;

char32_t codePointAt(std::u16string_view text, std::size_t i) {
    const char16_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
        return 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (text[i + 1] - 0xDC00);
    return unit;
}

} // namespace

Result<TextSortOrder> textSortOrder(uint16_t lcid, uint8_t version, FileFormat format) {
    if (lcid == 0)
        return format == FileFormat::Jet4 || format == FileFormat::Ace12 ? TextSortOrder::GeneralLegacy
                                                                         : TextSortOrder::General;
    if (lcid == kLcidGeneral && version == 0)
        return TextSortOrder::GeneralLegacy;
    if (lcid == kLcidGeneral && version == 1)
        return TextSortOrder::General;
    return write_errors::unsupportedSortOrder(lcid, version);
}

Status appendTextKey(std::vector<uint8_t>& key, std::u16string_view text, TextSortOrder order, bool ascending) {
    text = text.substr(0, std::min(text.size(), kMaxKeyedUnits));
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] > 0xFF)
            return write_errors::characterNotIndexable(codePointAt(text, i));

    const auto& codes = textKeyCodes(order);
    const std::size_t start = key.size();
    std::vector<uint8_t> extra;
    std::size_t extraPosition = 0; // inline positions the extra section accounts for
    bool extraStarted = false;
    std::vector<uint8_t> unprintable;
    std::size_t position = 0;
    for (char16_t unit : text) {
        const TextKeyCode& code = codes[unit];
        const std::size_t here = position;
        switch (code.kind) {
        case TextCodeKind::Simple:
            if (code.inlineLength == 1) // most characters: one byte, appended without a range insert
                key.push_back(code.inlineBytes[0]);
            else
                key.insert(key.end(), code.inlineBytes.begin(), code.inlineBytes.begin() + code.inlineLength);
            ++position;
            break;
        case TextCodeKind::International:
            key.insert(key.end(), code.inlineBytes.begin(), code.inlineBytes.begin() + code.inlineLength);
            ++position;
            while (extraPosition < here) {
                extra.push_back(kNoAccent);
                ++extraPosition;
            }
            extra.push_back(code.code);
            ++extraPosition;
            extraStarted = true;
            break;
        case TextCodeKind::Unprintable: {
            const std::size_t q = extraStarted ? extra.size() + (here - extraPosition) : here;
            const auto marker = static_cast<uint16_t>((7 + 4 * q) | 0x8000);
            unprintable.push_back(static_cast<uint8_t>(marker >> 8));
            unprintable.push_back(static_cast<uint8_t>(marker & 0xFF));
            unprintable.push_back(kUnprintableMarker);
            unprintable.push_back(code.code);
            break;
        }
        case TextCodeKind::Ignored: break;
        }
    }
    key.push_back(kEndOfText);
    while (!extra.empty() && extra.back() <= kNoAccent)
        extra.pop_back();
    key.insert(key.end(), extra.begin(), extra.end());
    if (!unprintable.empty()) {
        key.insert(key.end(), {0x01, 0x01, 0x01});
        key.insert(key.end(), unprintable.begin(), unprintable.end());
    }
    key.push_back(kEndOfKey);
    if (!ascending) {
        for (std::size_t i = start; i < key.size(); ++i)
            key[i] = static_cast<uint8_t>(~key[i]);
        key.push_back(kEndOfKey);
    }
    return Status::ok();
}

} // namespace storage
