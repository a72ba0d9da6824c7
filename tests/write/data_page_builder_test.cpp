#include "database/storage/write/data_page_builder.h"

#include "database/storage/file/memory_file.h"
#include "database/storage/table/data_page.h"
#include "database/storage/write/usage_map_writer.h"
#include "write_test_support.h"

#include <gtest/gtest.h>

namespace storage {
namespace {

using write_test::hex;
using write_test::toHex;

TEST(DataPageBuilder, RowsFillThePageFromItsEnd) {
    std::vector<uint8_t> page = newDataPage(37);
    EXPECT_EQ(toHex(Bytes(page).first(14)), "01 01 F2 0F 25 00 00 00 00 00 00 00 00 00");
    const auto rowA = hex("03 00 07 00 00 00 FF FE 41 6E 6E FF FE 4C 65 65 10 00 0B 00 06 00 02 00 07");
    const auto rowB = hex("03 00 08 00 00 00 41 01 F3 00 64 00 7A 01 0E 00 06 00 06 00 02 00 05");
    EXPECT_EQ(appendRow(page, rowA), std::optional<uint8_t>(0));
    EXPECT_EQ(appendRow(page, rowB), std::optional<uint8_t>(1));
    EXPECT_EQ(toHex(Bytes(page).first(18)), "01 01 BE 0F 25 00 00 00 00 00 00 00 02 00 E7 0F D0 0F");

    MemoryFile file(page);
    PageReader pages(file, "memory", 4096, 1);
    for (uint16_t r = 0; r < 2; ++r) {
        auto slot = locateRow(pages, 0, page, r);
        ASSERT_TRUE(slot.hasValue());
        const auto& expected = r == 0 ? rowA : rowB;
        EXPECT_EQ(std::vector<uint8_t>(page.begin() + slot->start, page.begin() + slot->end), expected);
    }
}

TEST(DataPageBuilder, AFullPageOrTheRowLimitRefusesTheRow) {
    std::vector<uint8_t> page = newDataPage(5);
    EXPECT_FALSE(appendRow(page, std::vector<uint8_t>(4081)).has_value());
    EXPECT_EQ(appendRow(page, std::vector<uint8_t>(4080)), std::optional<uint8_t>(0));
    EXPECT_EQ(dataPageFreeSpace(page), 0);
    EXPECT_FALSE(rowFits(page, 0));

    std::vector<uint8_t> small = newDataPage(5);
    for (int i = 0; i < 255; ++i)
        ASSERT_TRUE(appendRow(small, std::vector<uint8_t>(4, static_cast<uint8_t>(i))).has_value());
    EXPECT_FALSE(appendRow(small, std::vector<uint8_t>(4)).has_value());
    EXPECT_EQ(dataPageFreeSpace(small), 4082 - 255 * 6);
}

TEST(DataPageBuilder, UsageMapHolderTakes57StandardMaps) {
    std::vector<std::vector<uint8_t>> maps(57, newInlineUsageMap(0));
    auto page = usageMapHolderPage(maps);
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(dataPageFreeSpace(*page), 4082 - 57 * 71);
    EXPECT_EQ(readU32(*page, 4), 0u);
    maps.push_back(newReferenceUsageMap());
    EXPECT_FALSE(usageMapHolderPage(maps).has_value());
}

} // namespace
} // namespace storage
