#pragma once

#include "database/storage/check/check_report.h"

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace storage::check {

// Who each page of the file belongs to, as the structures that refer to it say. A page
// may be named several times by the same owner (a table's owned and free-space maps);
// two different owners for one page is a fault.
class PageOwners {
public:
    PageOwners(uint32_t pageCount, FindingCollector& findings);

    // False when the page does not exist (reported) or already belongs to another owner.
    bool claim(uint32_t page, const std::string& owner, const std::string& how);
    bool claimed(uint32_t page) const { return page < m_owners.size() && m_owners[page] != 0; }
    // Empty when nobody claimed the page.
    std::string ownerOf(uint32_t page) const { return claimed(page) ? m_names[m_owners[page] - 1] : std::string(); }
    uint32_t pageCount() const { return static_cast<uint32_t>(m_owners.size()); }

private:
    FindingCollector& m_findings;
    std::vector<uint32_t> m_owners; // by page: index into m_names plus one, 0 = nobody
    std::vector<std::string> m_names;
    std::unordered_map<std::string, uint32_t> m_ids;
};

} // namespace storage::check
