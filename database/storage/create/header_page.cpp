// Page 0 and page 1 of a new database. Offsets are from the start of the page.
//
//   page 0   offset  size  value
//            0x00    4     00 01 00 00
//            0x04    16    "Standard Jet DB" / "Standard ACE DB", NUL-terminated
//            0x14    1     version: 1 Jet 4, 2 ACE 12, 3 ACE 14, 5 ACE 16, 6 ACE 17
//            0x15    1     01 in ACE 14 files, else 00 (meaning unknown)
//            0x18    128   masked region (RC4 keystream of key C7 DA 39 6B), holding:
//            0x18    24    00 01 00 00 01 01 00 00 02 00 00 00 03 00 00 00 04 00 00 00 05 00 00 00
//            0x3C    2     code page 1252
//            0x3E    4     database key 0: pages in clear
//            0x42    40    password, UTF-16LE, zero-padded, XORed with the truncated creation date
//            0x6A    2     build of the creating engine (meaning inferred)
//            0x6E    2     sort order LCID 1033; 0x71 (1): sort order version
//            0x72    8     creation date (f64)
//            0x98    8     54 06 00 00 "4.0\0"
//            0xE00   512   01 01, then 00 01 in every other pair
//
//   page 1   data page (owner field 1) with two 69-byte rows: row 0 the inline map
//            (type 0, start page 0, 64 bitmap bytes), row 1 zeros.

#include "database/storage/create/header_page.h"

#include "database/storage/format/bytes.h"
#include "database/storage/format/header.h"
#include "database/storage/format/rc4.h"
#include "database/storage/write/data_page_builder.h"
#include "database/storage/write/usage_map_writer.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

namespace storage {

namespace {

constexpr std::size_t kMaskStart = 0x18;
constexpr std::size_t kMaskLength = 128;
constexpr std::size_t kPassword = 0x42;
constexpr std::size_t kPasswordBytes = 40;
constexpr uint16_t kCodePage = 1252;
constexpr uint16_t kGeneralLcid = 1033;
constexpr uint16_t kJetBuild = 0x261C; // what the Jet 4 engine writes into files it creates alone
constexpr uint16_t kAceBuild = 0x11A6; // every ACE sample: 4518, as in ACE 12.0.4518
constexpr std::size_t kSlotsStart = 0xE00;
constexpr std::size_t kSlotsEnd = 0x1000;

constexpr std::array<uint8_t, 24> kMaskedConstant{0, 1, 0, 0, 1, 1, 0, 0, 2, 0, 0, 0,
                                                  3, 0, 0, 0, 4, 0, 0, 0, 5, 0, 0, 0};
constexpr std::array<uint8_t, 8> kVersionTrailer{0x54, 0x06, 0x00, 0x00, '4', '.', '0', 0x00};

uint8_t versionByte(FileFormat format) {
    switch (format) {
    case FileFormat::Jet4:
        return 1;
    case FileFormat::Ace12:
        return 2;
    case FileFormat::Ace14:
        return 3;
    case FileFormat::Ace16:
        return 5;
    case FileFormat::Ace17:
        return 6;
    }
    return 1;
}

// The password mask: the creation date truncated toward zero, as 4 little-endian bytes.
std::array<uint8_t, 4> dateMask(double creationDate) {
    const auto days = static_cast<uint32_t>(static_cast<int32_t>(std::trunc(creationDate)));
    return {static_cast<uint8_t>(days), static_cast<uint8_t>(days >> 8), static_cast<uint8_t>(days >> 16),
            static_cast<uint8_t>(days >> 24)};
}

} // namespace

uint8_t newDatabaseSortOrderVersion(FileFormat format) {
    return format == FileFormat::Ace14 || format == FileFormat::Ace16 ? 1 : 0;
}

std::vector<uint8_t> newHeaderPage(FileFormat format, double creationDate, const std::u16string& password) {
    std::vector<uint8_t> page(kJet4PageSize, 0);
    page[1] = 0x01;
    const char* engine = format == FileFormat::Jet4 ? "Standard Jet DB" : "Standard ACE DB";
    std::memcpy(page.data() + 4, engine, std::strlen(engine) + 1);
    page[0x14] = versionByte(format);
    page[0x15] = format == FileFormat::Ace14 ? 1 : 0;

    std::copy(kMaskedConstant.begin(), kMaskedConstant.end(), page.begin() + kMaskStart);
    writeU16(page, 0x3C, kCodePage);
    // An empty password is stored as the mask itself: all-zero bytes would read as a password.
    const auto mask = dateMask(creationDate);
    for (std::size_t i = 0; i < kPasswordBytes; ++i) {
        const std::size_t unit = i / 2;
        const char16_t code = unit < password.size() ? password[unit] : u'\0';
        const auto plain = static_cast<uint8_t>(i % 2 == 0 ? code & 0xFF : code >> 8);
        page[kPassword + i] = plain ^ mask[i % 4];
    }
    writeU16(page, 0x6A, format == FileFormat::Jet4 ? kJetBuild : kAceBuild);
    writeU16(page, 0x6E, kGeneralLcid);
    page[0x71] = newDatabaseSortOrderVersion(format);
    const auto dateBits = std::bit_cast<uint64_t>(creationDate);
    for (std::size_t i = 0; i < 8; ++i)
        page[0x72 + i] = static_cast<uint8_t>(dateBits >> (8 * i));
    static constexpr uint8_t kMaskKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
    Rc4 headerMask(kMaskKey);
    headerMask.apply(std::span<uint8_t>(page.data() + kMaskStart, kMaskLength));

    std::copy(kVersionTrailer.begin(), kVersionTrailer.end(), page.begin() + 0x98);
    for (std::size_t at = kSlotsStart; at < kSlotsEnd; at += 2)
        page[at + 1] = 0x01;
    page[kSlotsStart] = 0x01;
    return page;
}

std::vector<uint8_t> newGlobalUsageMapPage() {
    // Access writes 1 where other data pages name their table.
    std::vector<uint8_t> page = newDataPage(1);
    std::vector<uint8_t> map(kUsageMapRowSize, 0xFF);
    map[0] = 0x00;                                  // inline
    std::fill(map.begin() + 1, map.begin() + 5, 0); // starting at page 0
    map[5] = 0xFC;                                  // pages 0 and 1 in use
    // Two 69-byte rows always fit on an empty page.
    static_cast<void>(appendRow(page, map));
    static_cast<void>(appendRow(page, std::vector<uint8_t>(kUsageMapRowSize, 0)));
    return page;
}

} // namespace storage
