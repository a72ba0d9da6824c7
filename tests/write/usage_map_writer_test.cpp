#include "database/storage/write/usage_map_writer.h"

#include "database/storage/file/memory_file.h"
#include "database/storage/table/usage_map.h"
#include "database/storage/write/data_page_builder.h"
#include "write_test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace storage {
namespace {

// Bitmap pages in memory, numbered after the pages a test's file already has.
class MemoryMapPages : public UsageMapPageStore {
public:
    explicit MemoryMapPages(uint32_t firstFree) : m_next(firstFree) {}
    Result<uint32_t> allocatePage() override {
        m_pages[m_next] = {};
        return m_next++;
    }
    Result<std::vector<uint8_t>*> page(uint32_t number) override {
        auto it = m_pages.find(number);
        if (it == m_pages.end())
            return Error{0, "no such page", ErrorKind::Failed};
        return &it->second;
    }
    std::size_t count() const { return m_pages.size(); }

    // The map read back by the engine's reader: page 1 holds the map row, bitmap pages follow.
    std::vector<uint32_t> readBack(const std::vector<uint8_t>& row, uint32_t pageCount) {
        // Only the pages the map names exist; the reader is told the file is longer.
        std::vector<uint8_t> file(std::size_t{m_next} * 4096, 0);
        std::vector<uint8_t> holder = newDataPage(0);
        EXPECT_TRUE(appendRow(holder, row).has_value());
        std::copy(holder.begin(), holder.end(), file.begin() + 4096);
        for (const auto& [number, bytes] : m_pages)
            std::copy(bytes.begin(), bytes.end(), file.begin() + std::ptrdiff_t{number} * 4096);
        MemoryFile memory(std::move(file));
        PageReader pages(memory, "memory", 4096, pageCount);
        auto map = readUsageMap(pages, {1, 0});
        EXPECT_TRUE(map.hasValue());
        return map ? map->pages : std::vector<uint32_t>{};
    }

private:
    uint32_t m_next;
    std::map<uint32_t, std::vector<uint8_t>> m_pages;
};

TEST(UsageMapWriter, InlineMapsMoveThenBecomeReferenceMaps) {
    MemoryMapPages store(10);
    std::vector<uint8_t> row = newInlineUsageMap(0);
    const struct {
        uint32_t page;
        UsageMapChange change;
    } steps[] = {
        {3, UsageMapChange::BitSet},   {511, UsageMapChange::BitSet}, // the window is 512 pages
        {5, UsageMapChange::BitSet},
    };
    for (const auto& step : steps) {
        auto change = addPageToUsageMap(row, step.page, store);
        ASSERT_TRUE(change.hasValue());
        EXPECT_EQ(*change, step.change);
    }
    EXPECT_EQ(inlineUsageMapPages(row), (std::vector<uint32_t>{3, 5, 511}));

    std::vector<uint8_t> moving = newInlineUsageMap(0);
    ASSERT_TRUE(addPageToUsageMap(moving, 300, store).hasValue());
    auto moved = addPageToUsageMap(moving, 700, store);
    ASSERT_TRUE(moved.hasValue());
    EXPECT_EQ(*moved, UsageMapChange::Moved);
    EXPECT_EQ(readU32(moving, 1), 296u); // the lowest page, rounded down to a multiple of 8
    EXPECT_EQ(inlineUsageMapPages(moving), (std::vector<uint32_t>{300, 700}));
    EXPECT_EQ(store.count(), 0u);

    auto promoted = addPageToUsageMap(moving, 40000, store);
    ASSERT_TRUE(promoted.hasValue());
    EXPECT_EQ(*promoted, UsageMapChange::Promoted);
    EXPECT_EQ(moving.size(), kUsageMapRowSize);
    EXPECT_EQ(store.count(), 2u); // pages 300 and 700 share the first bitmap page, 40000 needs the second
    EXPECT_EQ(store.readBack(moving, 40001), (std::vector<uint32_t>{300, 700, 40000}));
}

TEST(UsageMapWriter, RemovingNeedsThePageInTheMap) {
    MemoryMapPages store(10);
    std::vector<uint8_t> row = newInlineUsageMap(8);
    ASSERT_TRUE(addPageToUsageMap(row, 9, store).hasValue());
    EXPECT_TRUE(removePageFromUsageMap(row, 9, store).isOk());
    EXPECT_FALSE(removePageFromUsageMap(row, 9, store).isOk());
    EXPECT_FALSE(removePageFromUsageMap(row, 2, store).isOk());
    EXPECT_TRUE(inlineUsageMapPages(row).empty());

    std::vector<uint8_t> reference = newReferenceUsageMap();
    ASSERT_TRUE(addPageToUsageMap(reference, 5, store).hasValue());
    EXPECT_TRUE(removePageFromUsageMap(reference, 5, store).isOk());
    EXPECT_FALSE(removePageFromUsageMap(reference, 5, store).isOk());
    EXPECT_FALSE(removePageFromUsageMap(reference, 50000, store).isOk()); // no bitmap page there
}

TEST(UsageMapWriter, GlobalMapClearsUsedPagesAndSlidesForward) {
    // Pages 0-9 in use, the rest of the window free.
    std::vector<uint8_t> row = newInlineUsageMap(0);
    for (uint32_t p = 10; p < 512; ++p)
        row[5 + p / 8] |= static_cast<uint8_t>(1u << (p % 8));
    ASSERT_TRUE(markPageUsedInGlobalMap(row, 10).isOk());
    EXPECT_EQ(inlineUsageMapPages(row).front(), 11u);

    ASSERT_TRUE(markPageUsedInGlobalMap(row, 600).isOk());
    EXPECT_EQ(readU32(row, 1), 344u); // half a window before page 600
    const std::vector<uint32_t> free = inlineUsageMapPages(row);
    EXPECT_EQ(free.front(), 344u);
    EXPECT_EQ(free.back(), 855u);
    EXPECT_EQ(std::count(free.begin(), free.end(), 600u), 0);
    EXPECT_EQ(free.size(), 511u);

    EXPECT_FALSE(markPageUsedInGlobalMap(row, 100).isOk());
}

} // namespace
} // namespace storage
