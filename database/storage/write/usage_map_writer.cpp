// Usage maps as written.
//
//   type 0 (inline)     offset 0: 0x00; 1: u32 start page; 5: bitmap, bit k (LSB first) = page start + k
//   type 1 (reference)  offset 0: 0x01; 1: u32 page number of bitmap page i, 0 = none yet
//   bitmap page         offset 0: 0x05 0x01 0x00 0x00; 4: bitmap, page i covers pages
//                       i * (pageSize - 4) * 8 onward

#include "database/storage/write/usage_map_writer.h"

#include "database/storage/format/bytes.h"

#include <algorithm>
#include <string>

namespace storage {

namespace {

constexpr uint8_t kInlineMap = 0x00;
constexpr uint8_t kReferenceMap = 0x01;
constexpr uint8_t kBitmapPageType = 0x05;
constexpr std::size_t kInlineHeader = 5;
constexpr std::size_t kBitmapPageHeader = 4;

Error mapError(std::string text) { return {0, std::move(text), ErrorKind::Failed}; }

uint64_t windowSize(Bytes row) { return uint64_t{row.size() - kInlineHeader} * 8; }

bool inWindow(Bytes row, uint32_t page) {
    const uint32_t start = readU32(row, 1);
    return page >= start && page - start < windowSize(row);
}

void setInlineBit(std::vector<uint8_t>& row, uint32_t page, bool on) {
    const uint32_t bit = page - readU32(row, 1);
    uint8_t& byte = row[kInlineHeader + bit / 8];
    const auto mask = static_cast<uint8_t>(1u << (bit % 8));
    byte = on ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
}

bool inlineBit(Bytes row, uint32_t page) {
    const uint32_t bit = page - readU32(row, 1);
    return row[kInlineHeader + bit / 8] & (1u << (bit % 8));
}

uint64_t pagesPerBitmap(uint32_t pageSize) { return uint64_t{pageSize - kBitmapPageHeader} * 8; }

// Finds (or with create, makes) the bitmap page for `page` and the bit's place in it.
Result<std::vector<uint8_t>*> bitmapFor(std::vector<uint8_t>& row, uint32_t page, bool create,
                                        UsageMapPageStore& store, uint32_t pageSize, std::size_t& bit) {
    const uint64_t index = page / pagesPerBitmap(pageSize);
    const std::size_t at = 1 + index * 4;
    if (at + 4 > row.size())
        return mapError("page " + std::to_string(page) + " lies beyond what the usage map can hold");
    bit = static_cast<std::size_t>(page - index * pagesPerBitmap(pageSize));
    uint32_t number = readU32(row, at);
    if (number == 0) {
        if (!create)
            return mapError("page " + std::to_string(page) + " is not in the usage map");
        auto allocated = store.allocatePage();
        if (!allocated)
            return allocated.status();
        number = *allocated;
        auto bytes = store.page(number);
        if (!bytes)
            return bytes;
        std::vector<uint8_t>& fresh = **bytes;
        fresh.assign(pageSize, 0);
        fresh[0] = kBitmapPageType;
        fresh[1] = 0x01;
        writeU32(row, at, number);
    }
    auto bytes = store.page(number);
    if (bytes && ((**bytes).size() != pageSize || (**bytes)[0] != kBitmapPageType))
        return mapError("usage map names page " + std::to_string(number) + ", which is not a bitmap page");
    return bytes;
}

Status setReferenceBit(std::vector<uint8_t>& row, uint32_t page, bool on, UsageMapPageStore& store,
                       uint32_t pageSize) {
    std::size_t bit = 0;
    auto bitmap = bitmapFor(row, page, on, store, pageSize, bit);
    if (!bitmap)
        return bitmap.status();
    uint8_t& byte = (**bitmap)[kBitmapPageHeader + bit / 8];
    const auto mask = static_cast<uint8_t>(1u << (bit % 8));
    if (!on && !(byte & mask))
        return mapError("page " + std::to_string(page) + " is not in the usage map");
    byte = on ? static_cast<uint8_t>(byte | mask) : static_cast<uint8_t>(byte & ~mask);
    return Status::ok();
}

} // namespace

std::vector<uint8_t> newInlineUsageMap(uint32_t startPage, std::size_t rowSize) {
    std::vector<uint8_t> row(std::max(rowSize, kInlineHeader), 0);
    row[0] = kInlineMap;
    writeU32(row, 1, startPage);
    return row;
}

std::vector<uint8_t> newReferenceUsageMap(std::size_t rowSize) {
    std::vector<uint8_t> row(std::max<std::size_t>(rowSize, 1), 0);
    row[0] = kReferenceMap;
    return row;
}

std::vector<uint32_t> inlineUsageMapPages(Bytes row) {
    std::vector<uint32_t> pages;
    if (row.size() < kInlineHeader || row[0] != kInlineMap)
        return pages;
    const uint32_t start = readU32(row, 1);
    for (std::size_t bit = 0; bit < windowSize(row); ++bit)
        if (row[kInlineHeader + bit / 8] & (1u << (bit % 8)))
            pages.push_back(start + static_cast<uint32_t>(bit));
    return pages;
}

Result<UsageMapChange> addPageToUsageMap(std::vector<uint8_t>& row, uint32_t page, UsageMapPageStore& store,
                                         uint32_t pageSize) {
    if (row.empty())
        return mapError("empty usage map row");
    if (row[0] == kReferenceMap) {
        if (Status status = setReferenceBit(row, page, true, store, pageSize); !status)
            return status;
        return UsageMapChange::BitSet;
    }
    if (row[0] != kInlineMap || row.size() <= kInlineHeader)
        return mapError("unknown usage map type " + std::to_string(row[0]));
    if (inWindow(row, page)) {
        setInlineBit(row, page, true);
        return UsageMapChange::BitSet;
    }
    std::vector<uint32_t> pages = inlineUsageMapPages(row);
    pages.push_back(page);
    const uint32_t first = *std::min_element(pages.begin(), pages.end()) / 8 * 8;
    const uint32_t last = *std::max_element(pages.begin(), pages.end());
    if (uint64_t{last} - first + 1 < windowSize(row)) {
        const std::size_t length = row.size();
        row = newInlineUsageMap(first, length);
        for (uint32_t p : pages)
            setInlineBit(row, p, true);
        return UsageMapChange::Moved;
    }
    row = newReferenceUsageMap(row.size());
    for (uint32_t p : pages)
        if (Status status = setReferenceBit(row, p, true, store, pageSize); !status)
            return status;
    return UsageMapChange::Promoted;
}

Status removePageFromUsageMap(std::vector<uint8_t>& row, uint32_t page, UsageMapPageStore& store, uint32_t pageSize) {
    if (!row.empty() && row[0] == kReferenceMap)
        return setReferenceBit(row, page, false, store, pageSize);
    if (row.size() <= kInlineHeader || row[0] != kInlineMap)
        return mapError("unknown usage map type");
    if (!inWindow(row, page) || !inlineBit(row, page))
        return mapError("page " + std::to_string(page) + " is not in the usage map");
    setInlineBit(row, page, false);
    return Status::ok();
}

Status markPageUsedInGlobalMap(std::vector<uint8_t>& row, uint32_t page) {
    if (row.size() <= kInlineHeader || row[0] != kInlineMap)
        return mapError("the global usage map is not an inline map");
    const uint32_t start = readU32(row, 1);
    if (page < start)
        return mapError("page " + std::to_string(page) + " lies before the global usage map's window");
    if (!inWindow(row, page)) {
        const std::vector<uint32_t> freePages = inlineUsageMapPages(row);
        const uint64_t size = windowSize(row);
        const uint64_t oldEnd = uint64_t{start} + size;
        const uint32_t newStart =
            static_cast<uint32_t>((freePages.empty() ? page : page - std::min<uint64_t>(page, size / 2)) / 8 * 8);
        const std::size_t length = row.size();
        row = newInlineUsageMap(newStart, length);
        for (uint32_t p : freePages)
            if (inWindow(row, p))
                setInlineBit(row, p, true);
        for (uint64_t p = std::max<uint64_t>(oldEnd, newStart); p < uint64_t{newStart} + size; ++p)
            setInlineBit(row, static_cast<uint32_t>(p), true);
    }
    setInlineBit(row, page, false);
    return Status::ok();
}

} // namespace storage
