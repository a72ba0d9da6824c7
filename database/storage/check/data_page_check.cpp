#include "database/storage/check/data_page_check.h"

#include "database/storage/table/data_page.h"
#include "database/storage/write/data_page_builder.h"

#include <algorithm>

namespace storage::check {

bool checkDataPage(PageReader& pages, uint32_t number, Bytes page, const std::string& object,
                   FindingCollector& findings) {
    auto count = dataPageRowCount(pages, number, page);
    if (!count) {
        findings.fault(number, object, count.error().description);
        return false;
    }
    std::size_t lowest = page.size();
    for (uint16_t row = 0; row < *count; ++row) {
        auto slot = locateRow(pages, number, page, row);
        if (!slot) {
            findings.fault(number, object, slot.error().description);
            return false;
        }
        lowest = std::min<std::size_t>(lowest, slot->start);
    }
    const std::size_t tableEnd = kDataPageHeaderSize + 2 * std::size_t{*count};
    const std::size_t room = lowest >= tableEnd ? lowest - tableEnd : 0;
    const std::size_t freeSpace = dataPageFreeSpace(page);
    if (freeSpace > room)
        findings.fault(number, object,
                       "free space " + std::to_string(freeSpace) + " but only " + std::to_string(room) +
                           " bytes between the row offsets and the rows");
    return true;
}

} // namespace storage::check
