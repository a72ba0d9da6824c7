#pragma once

#include "database/storage/format/bytes.h"
#include "database/storage/open_options.h"
#include "database/storage/status.h"

#include <cstdint>
#include <string>

namespace storage {

inline constexpr uint32_t kJet4PageSize = 4096;

// What the header page (page 0) says about the file, after the mask is removed.
struct DatabaseHeader {
    FileFormat format = FileFormat::Jet4;
    uint8_t versionByte = 0;
    uint32_t pageSize = kJet4PageSize;
    uint16_t codePage = 0;
    uint32_t databaseKey = 0;  // 0: pages are stored in clear
    std::u16string password;   // Jet 4 database password; empty when there is none
    uint16_t sortOrder = 0;    // default collation LCID
    uint8_t sortOrderVersion = 0;
    double creationDate = 0;   // days since 1899-12-30

    bool isAce() const { return format != FileFormat::Jet4; }
    // ACE files with a key are encrypted as a whole with a key derived from the password.
    bool isAceEncrypted() const { return isAce() && databaseKey != 0; }
    // Jet 4 files with a key have every page but page 0 RC4-encoded with that key.
    bool hasJetPageEncoding() const { return !isAce() && databaseKey != 0; }
};

// Decodes page 0 (all of it that the file has; at least the first page).
// Refuses with 3343 what is not a Jet 4 or ACE database, including Jet 3.
Result<DatabaseHeader> decodeHeader(Bytes page0, const std::string& pathForMessages);

} // namespace storage
