#pragma once

#include "database/storage/check/check_report.h"
#include "database/storage/file/page_reader.h"

#include <string>

namespace storage::check {

// Checks the row offset table of a data page (table rows, long values or usage maps):
// every row lies inside the page below the offset table, and the free space the page
// claims is really free, so that the next row written there overwrites nothing.
// False when the page cannot be used at all.
bool checkDataPage(PageReader& pages, uint32_t number, Bytes page, const std::string& object,
                   FindingCollector& findings);

} // namespace storage::check
