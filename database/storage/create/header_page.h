#pragma once

#include "database/storage/open_options.h"

#include <cstdint>
#include <string>
#include <vector>

namespace storage {

// The default text sort order a new file of this format gets: General (LCID
// 1033), in version 1 for ACE 14 and ACE 16 and version 0 (General Legacy)
// otherwise, as the empty databases Access makes in each format have it.
uint8_t newDatabaseSortOrderVersion(FileFormat format);

// Page 0 of a new database, masked as Access stores it. creationDate is an
// Access date (days since 1899-12-30, local time); it also masks the password.
// password: Jet 4 only, at most 20 UTF-16 units (the caller checks); empty for none,
// which is stored as the bare date mask.
std::vector<uint8_t> newHeaderPage(FileFormat format, double creationDate, const std::u16string& password);

// Page 1 of a new database: the database's usage map (row 0, a set bit = a free
// page) with pages 0 and 1 in use, and the all-zero second row Access keeps beside it.
std::vector<uint8_t> newGlobalUsageMapPage();

} // namespace storage
