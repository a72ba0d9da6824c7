// Usage maps as rows: type 0 (inline) = 00, u32 page of bit 0, bitmap;
// type 1 (reference) = 01, u32 pointers to bitmap pages, each covering 4092 * 8 pages
// from its bitmap at byte 4.

#include "database/storage/check/usage_map_layout.h"

#include "database/storage/table/data_page.h"

namespace storage::check {

namespace {
constexpr uint8_t kInlineMap = 0x00;
constexpr uint8_t kReferenceMap = 0x01;
constexpr uint8_t kBitmapPageType = 0x05;
constexpr std::size_t kBitmapHeader = 4;
constexpr RowPointer kGlobalMap{1, 0};

bool bitSet(Bytes bitmap, uint64_t bit) {
    return bitmap[bit / 8] & (1u << (bit % 8));
}
} // namespace

Result<GlobalUsage> readGlobalUsage(PageReader& pages) {
    auto row = readRowAt(pages, kGlobalMap, 0);
    if (!row)
        return row.error();
    const Bytes map = row->bytes;
    const uint32_t pageCount = pages.pageCount();
    GlobalUsage usage;
    usage.mapPages.push_back(kGlobalMap.page);
    usage.used.assign(pageCount, false);
    if (map.size() >= 5 && map[0] == kInlineMap) {
        const uint64_t start = readU32(map, 1);
        const Bytes bitmap = map.subspan(5);
        for (uint32_t page = 0; page < pageCount; ++page)
            usage.used[page] = page < start || (page - start < bitmap.size() * 8 && !bitSet(bitmap, page - start));
        return usage;
    }
    if (map.empty() || map[0] != kReferenceMap)
        return pages.corrupt(kGlobalMap.page, 0, "unknown global usage map type");
    const uint64_t perBitmap = uint64_t{pages.pageSize() - kBitmapHeader} * 8;
    for (std::size_t i = 0; 1 + 4 * i + 4 <= map.size(); ++i) {
        const uint32_t bitmapPage = readU32(map, 1 + 4 * i);
        if (bitmapPage == 0)
            continue;
        auto page = pages.page(bitmapPage);
        if (!page)
            return page.error();
        const Bytes bytes(**page);
        if (bytes[0] != kBitmapPageType)
            return pages.corrupt(bitmapPage, 0, "global usage map names a page that is not a bitmap page");
        usage.mapPages.push_back(bitmapPage);
        const Bytes bitmap = bytes.subspan(kBitmapHeader);
        for (uint64_t bit = 0; bit < perBitmap && i * perBitmap + bit < pageCount; ++bit)
            usage.used[i * perBitmap + bit] = !bitSet(bitmap, bit);
    }
    return usage;
}

Result<std::vector<uint32_t>> usageMapBitmapPages(PageReader& pages, RowPointer where) {
    auto row = readRowAt(pages, where, 0);
    if (!row)
        return row.error();
    const Bytes map = row->bytes;
    std::vector<uint32_t> out;
    if (map.empty() || map[0] != kReferenceMap)
        return out;
    for (std::size_t at = 1; at + 4 <= map.size(); at += 4)
        if (const uint32_t page = readU32(map, at); page != 0)
            out.push_back(page);
    return out;
}

} // namespace storage::check
