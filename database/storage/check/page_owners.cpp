#include "database/storage/check/page_owners.h"

namespace storage::check {

PageOwners::PageOwners(uint32_t pageCount, FindingCollector& findings) : m_findings(findings), m_owners(pageCount, 0) {}

bool PageOwners::claim(uint32_t page, const std::string& owner, const std::string& how) {
    if (page >= m_owners.size()) {
        m_findings.fault(page, owner, how + " names page " + std::to_string(page) + ", past the end of the file");
        return false;
    }
    auto [at, added] = m_ids.try_emplace(owner, static_cast<uint32_t>(m_names.size() + 1));
    if (added)
        m_names.push_back(owner);
    uint32_t& current = m_owners[page];
    if (current == 0) {
        current = at->second;
        return true;
    }
    if (current == at->second)
        return true;
    m_findings.fault(page, owner, how + " names a page that belongs to " + m_names[current - 1]);
    return false;
}

} // namespace storage::check
