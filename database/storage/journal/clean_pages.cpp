#include "database/storage/journal/clean_pages.h"

namespace storage {

const CleanPages::Page* CleanPages::find(uint32_t number) {
    const auto found = m_index.find(number);
    if (found == m_index.end())
        return nullptr;
    m_recent.splice(m_recent.begin(), m_recent, found->second);
    return &found->second->second;
}

std::optional<CleanPages::Page> CleanPages::take(uint32_t number) {
    const auto found = m_index.find(number);
    if (found == m_index.end())
        return std::nullopt;
    Page page = std::move(found->second->second);
    m_recent.erase(found->second);
    m_index.erase(found);
    return page;
}

void CleanPages::put(uint32_t number, Page page) {
    if (const auto found = m_index.find(number); found != m_index.end()) {
        found->second->second = std::move(page);
        m_recent.splice(m_recent.begin(), m_recent, found->second);
        return;
    }
    m_recent.emplace_front(number, std::move(page));
    m_index.emplace(number, m_recent.begin());
}

void CleanPages::trimTo(std::size_t pages) {
    while (m_index.size() > pages) {
        m_index.erase(m_recent.back().first);
        m_recent.pop_back();
    }
}

void CleanPages::clear() {
    m_recent.clear();
    m_index.clear();
}

} // namespace storage
