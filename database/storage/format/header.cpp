// Header page (page 0), Jet 4 and ACE. Offsets are from the start of the file.
//
//   offset  size  meaning
//   0x00    4     00 01 00 00
//   0x04    16    engine name: "Standard Jet DB" / "Standard ACE DB", NUL-terminated
//   0x14    1     version: 0 Jet 3, 1 Jet 4, 2 ACE 12, 3 ACE 14, 4 (treated as 3), 5 ACE 16, 6 ACE 17
//   0x18    128   region XORed with the RC4 keystream of key C7 DA 39 6B; fields below are inside it
//   0x3C    2     code page
//   0x3E    4     database key: 0 = clear pages
//   0x42    40    Jet 4 password, UTF-16LE, XORed with the truncated creation date (4 bytes repeated)
//   0x6E    2     default sort order LCID; 0x71: sort order version
//   0x72    8     creation date (f64, days since 1899-12-30)
//   0x299   2+n   ACE with a key: length, then the Office EncryptionInfo structure (crypto/)

#include "database/storage/format/header.h"

#include "database/storage/errors.h"
#include "database/storage/format/rc4.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

namespace storage {

namespace {

constexpr std::size_t kMaskStart = 0x18;
constexpr std::size_t kMaskLength = 128;
constexpr std::size_t kCodePage = 0x3C;
constexpr std::size_t kDatabaseKey = 0x3E;
constexpr std::size_t kPassword = 0x42;
constexpr std::size_t kPasswordLength = 40;
constexpr std::size_t kSortOrder = 0x6E;
constexpr std::size_t kSortOrderVersion = 0x71;
constexpr std::size_t kCreationDate = 0x72;

bool engineNameIs(Bytes page, const char* name) {
    return std::memcmp(page.data() + 4, name, std::strlen(name) + 1) == 0;
}

// The password mask is the creation date truncated toward zero, as 4 little-endian bytes.
std::array<uint8_t, 4> passwordMask(double creationDate) {
    int32_t days = 0;
    if (std::isfinite(creationDate) && creationDate > -2147483648.0 && creationDate < 2147483648.0)
        days = static_cast<int32_t>(creationDate);
    const auto value = static_cast<uint32_t>(days);
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

} // namespace

Result<DatabaseHeader> decodeHeader(Bytes page0, const std::string& path) {
    if (page0.size() < kJet4PageSize || page0[0] != 0x00 || page0[1] != 0x01 || page0[2] != 0x00 || page0[3] != 0x00)
        return errors::unrecognizedFormat(path);

    DatabaseHeader header;
    header.versionByte = page0[0x14];
    const bool jetName = engineNameIs(page0, "Standard Jet DB");
    const bool aceName = engineNameIs(page0, "Standard ACE DB");
    switch (header.versionByte) {
    case 1:
        header.format = FileFormat::Jet4;
        break;
    case 2:
        header.format = FileFormat::Ace12;
        break;
    case 3:
    case 4:
        header.format = FileFormat::Ace14;
        break;
    case 5:
        header.format = FileFormat::Ace16;
        break;
    case 6:
        header.format = FileFormat::Ace17;
        break;
    case 0:
        if (jetName)
            return errors::jet3Database(path);
        return errors::unrecognizedFormat(path);
    default:
        return errors::unrecognizedFormat(path);
    }
    // A name that does not match the version is a foreign file (MSISAM) or a damaged one.
    if (header.isAce() ? !aceName : !jetName)
        return errors::unrecognizedFormat(path);

    std::array<uint8_t, kMaskLength> region{};
    std::memcpy(region.data(), page0.data() + kMaskStart, kMaskLength);
    static constexpr uint8_t kMaskKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
    Rc4 mask(kMaskKey);
    mask.apply(region);
    const Bytes decoded(region);
    auto field = [](std::size_t fileOffset) { return fileOffset - kMaskStart; };

    header.codePage = readU16(decoded, field(kCodePage));
    header.databaseKey = readU32(decoded, field(kDatabaseKey));
    header.sortOrder = readU16(decoded, field(kSortOrder));
    header.sortOrderVersion = readU8(decoded, field(kSortOrderVersion));
    header.creationDate = readF64(decoded, field(kCreationDate));

    if (!header.isAce()) {
        const auto dateMask = passwordMask(header.creationDate);
        for (std::size_t i = 0; i + 1 < kPasswordLength; i += 2) {
            const uint8_t low = decoded[field(kPassword) + i] ^ dateMask[i % 4];
            const uint8_t high = decoded[field(kPassword) + i + 1] ^ dateMask[(i + 1) % 4];
            const auto unit = static_cast<char16_t>(low | (high << 8));
            if (unit == 0)
                break;
            header.password += unit;
        }
    }
    return header;
}

} // namespace storage
