// Text index keys for the General sort orders. For one value:
//
//   inline codes  01  [extra section]  [01 01  [flag section]  [01 unprintable section]]  00
//
// The extra section holds the extra code of each inline position up to the
// last one that has one (02 where there is none); a modifier adds to the code
// before it. An unprintable entry is u16 big-endian (7 + 4 * position) | 0x8000,
// 06, its bytes. The flag section packs the flags of flagged characters (see
// appendFlags), followed by FF when unprintable entries follow. Descending keys
// invert everything up to and including the 00, then add another 00.

#include "database/storage/write/text_index_key.h"

#include "database/storage/write/write_errors.h"

#include <algorithm>
#include <iterator>

namespace storage {

namespace {

constexpr std::size_t kMaxKeyedUnits = 255;
constexpr uint16_t kLcidGeneral = 1033;
constexpr uint8_t kNoAccent = 0x02;
constexpr uint8_t kEndOfText = 0x01;
constexpr uint8_t kEndOfKey = 0x00;
constexpr uint8_t kUnprintableMarker = 0x06;

constexpr uint8_t kFlagNone = 3; // the flag most characters would have: trailing ones are left out
constexpr uint8_t kFlagsStart = 0x80;
constexpr uint8_t kFlagsEnd[] = {0xFF, 0x02, 0x80, 0xFF, 0x80};
constexpr uint8_t kFlagsBeforeUnprintable = 0xFF;

// The flags of the flagged characters, three 2-bit values a byte after 10, then a fixed
// ending, also when every flag was left out.
void appendFlags(std::vector<uint8_t>& key, std::vector<uint8_t> flags) {
    while (!flags.empty() && flags.back() == kFlagNone)
        flags.pop_back();
    for (std::size_t i = 0; i < flags.size(); i += 3) {
        uint8_t packed = kFlagsStart;
        for (std::size_t j = 0; j < 3 && i + j < flags.size(); ++j)
            packed = static_cast<uint8_t>(packed | flags[i + j] << (4 - 2 * j));
        key.push_back(packed);
    }
    key.insert(key.end(), std::begin(kFlagsEnd), std::end(kFlagsEnd));
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

void appendTextKey(std::vector<uint8_t>& key, std::u16string_view text, TextSortOrder order, bool ascending) {
    text = text.substr(0, std::min(text.size(), kMaxKeyedUnits));
    while (!text.empty() && text.back() == u' ')
        text.remove_suffix(1);

    const auto& codes = textKeyCodes(order);
    const std::size_t start = key.size();
    std::vector<uint8_t> extra;
    std::size_t extraPosition = 0; // inline positions the extra section accounts for
    bool extraStarted = false;
    std::size_t modifierPrefix = 0; // a modifier that began the extra section: not counted by unprintables
    std::vector<uint8_t> unprintable;
    std::vector<uint8_t> flags;
    std::size_t position = 0;
    const auto fillExtra = [&](std::size_t upTo) {
        if (extraPosition < upTo) {
            extra.insert(extra.end(), upTo - extraPosition, kNoAccent);
            extraPosition = upTo;
        }
        extraStarted = true;
    };
    for (char16_t unit : text) {
        const TextKeyCode& code = codes[unit];
        if (code.kind == TextCodeKind::Simple && code.inlineLength == 1) { // most characters
            key.push_back(code.inlineBytes[0]);
            ++position;
            continue;
        }
        const std::size_t here = position;
        if (code.inlineLength > 0) {
            key.insert(key.end(), code.inlineBytes.begin(), code.inlineBytes.begin() + code.inlineLength);
            ++position;
        }
        switch (code.kind) {
        case TextCodeKind::Simple:
        case TextCodeKind::Ignored:
            break;
        case TextCodeKind::International:
        case TextCodeKind::Flagged:
            if (code.extraLength > 0) {
                fillExtra(here);
                extra.insert(extra.end(), code.extraBytes.begin(), code.extraBytes.begin() + code.extraLength);
                ++extraPosition;
            }
            if (code.kind == TextCodeKind::Flagged)
                flags.push_back(code.flag);
            break;
        case TextCodeKind::Modifier:
            fillExtra(here);
            if (extra.empty()) {
                extra.push_back(code.extraBytes[0]);
                modifierPrefix = 1;
            } else {
                extra.back() = static_cast<uint8_t>(extra.back() + code.extraBytes[0]);
            }
            break;
        case TextCodeKind::Unprintable: {
            const std::size_t q = extraStarted ? extra.size() + (here - extraPosition) - modifierPrefix : here;
            const auto marker = static_cast<uint16_t>((7 + 4 * q) | 0x8000);
            unprintable.push_back(static_cast<uint8_t>(marker >> 8));
            unprintable.push_back(static_cast<uint8_t>(marker & 0xFF));
            unprintable.push_back(kUnprintableMarker);
            unprintable.insert(unprintable.end(), code.extraBytes.begin(), code.extraBytes.begin() + code.extraLength);
            break;
        }
        }
    }
    key.push_back(kEndOfText);
    while (!extra.empty() && extra.back() <= kNoAccent)
        extra.pop_back();
    key.insert(key.end(), extra.begin(), extra.end());
    if (!unprintable.empty() || !flags.empty()) {
        key.insert(key.end(), {kEndOfText, kEndOfText});
        if (!flags.empty()) {
            appendFlags(key, flags);
            if (!unprintable.empty())
                key.push_back(kFlagsBeforeUnprintable);
        }
        if (!unprintable.empty()) {
            key.push_back(kEndOfText);
            key.insert(key.end(), unprintable.begin(), unprintable.end());
        }
    }
    key.push_back(kEndOfKey);
    if (!ascending) {
        for (std::size_t i = start; i < key.size(); ++i)
            key[i] = static_cast<uint8_t>(~key[i]);
        key.push_back(kEndOfKey);
    }
}

} // namespace storage
