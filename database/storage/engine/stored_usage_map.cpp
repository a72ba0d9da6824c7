#include "database/storage/engine/stored_usage_map.h"

#include "database/storage/table/data_page.h"
#include "database/storage/table/usage_map.h"
#include "database/storage/write/usage_map_writer.h"

#include <map>

namespace storage {

namespace {

// Bitmap pages of a reference map: new ones come from the pager, changed ones are
// written back once the map's row is written.
class PagerMapPages final : public UsageMapPageStore {
public:
    explicit PagerMapPages(Pager& pager) : m_pager(pager) {}

    Result<uint32_t> allocatePage() override { return m_pager.allocate(); }
    Result<std::vector<uint8_t>*> page(uint32_t number) override {
        auto found = m_pages.find(number);
        if (found == m_pages.end()) {
            auto handle = m_pager.read(number);
            if (!handle)
                return handle.error();
            found = m_pages.emplace(number, **handle).first;
        }
        return &found->second;
    }
    Status writeBack() {
        for (auto& [number, bytes] : m_pages)
            if (Status status = m_pager.write(number, std::move(bytes)); !status)
                return status;
        m_pages.clear();
        return Status::ok();
    }

private:
    Pager& m_pager;
    std::map<uint32_t, std::vector<uint8_t>> m_pages;
};

} // namespace

Status StoredUsageMap::add(uint32_t page) { return change(page, true); }
Status StoredUsageMap::remove(uint32_t page) { return change(page, false); }

Result<std::vector<uint32_t>> StoredUsageMap::pages() {
    auto map = readUsageMap(m_pager.reader(), m_where);
    if (!map)
        return map.error();
    return std::move(map->pages);
}

Status StoredUsageMap::change(uint32_t page, bool add) {
    auto holder = m_pager.read(m_where.page);
    if (!holder)
        return holder.error();
    auto slot = locateRow(m_pager.reader(), m_where.page, **holder, m_where.row);
    if (!slot)
        return slot.error();
    const auto begin = (*holder)->begin();
    std::vector<uint8_t> row(begin + slot->start, begin + slot->end);
    *holder = nullptr; // held here, the page would be copied before its change below

    PagerMapPages bitmaps(m_pager);
    if (add) {
        if (auto changed = addPageToUsageMap(row, page, bitmaps, m_pager.pageSize()); !changed)
            return changed.error();
    } else if (Status removed = removePageFromUsageMap(row, page, bitmaps, m_pager.pageSize()); !removed) {
        return removed;
    }
    if (Status status = bitmaps.writeBack(); !status)
        return status;
    // Allocating a bitmap page may have changed the holder page (never in practice: holders
    // are data pages of maps, bitmap pages are new), so read it again before patching.
    auto current = m_pager.pageToChange(m_where.page);
    if (!current)
        return current.error();
    std::copy(row.begin(), row.end(), (*current)->begin() + slot->start);
    return m_pager.writeChanged(m_where.page, **current, slot->start, row.size());
}

} // namespace storage
