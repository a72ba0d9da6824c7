#include "database/storage/crypto/page_codec.h"
#include "database/storage/crypto/page_codec_file.h"
#include "database/storage/database.h"
#include "database/storage/engine/pager.h"
#include "database/storage/file/memory_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace storage;

namespace {

constexpr uint32_t kPage = 4096;

// The set of pages the global usage map (row 0 of page 1) marks free, within its window.
struct GlobalMap {
    uint8_t type = 0;
    uint32_t start = 0;
    std::vector<uint8_t> bitmap;
    bool isFree(uint32_t page) const {
        const uint32_t bit = page - start;
        return page >= start && bit < 8 * bitmap.size() && (bitmap[bit / 8] >> (bit % 8) & 1);
    }
};

GlobalMap globalMap(const std::vector<uint8_t>& page1) {
    const std::size_t row = (page1[0x0E] | page1[0x0F] << 8) & 0x1FFF;
    GlobalMap map;
    map.type = page1[row];
    map.start = page1[row + 1] | page1[row + 2] << 8 | page1[row + 3] << 16 | static_cast<uint32_t>(page1[row + 4]) << 24;
    map.bitmap.assign(page1.begin() + static_cast<std::ptrdiff_t>(row + 5), page1.end());
    return map;
}

class PagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = std::string(TARNWICK_FIXTURES_DIR) + "/jet4/empty.mdb";
        if (!std::filesystem::exists(path))
            GTEST_SKIP() << "no fixture folder";
        const std::string bytes = testsupport::readFile(path);
        file = std::make_unique<MemoryFile>(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        reader = std::make_unique<PageReader>(*file, path, kPage, static_cast<uint32_t>(bytes.size() / kPage));
    }
    std::vector<uint8_t> page1() { return **reader->page(1); }

    std::unique_ptr<MemoryFile> file;
    std::unique_ptr<PageReader> reader;
};

TEST_F(PagerTest, NewPagesAreAppendedAndMarkedUsedInTheGlobalMap) {
    Pager pager(*file, *reader);
    const uint32_t before = pager.pageCount();
    ASSERT_TRUE(globalMap(page1()).isFree(before)) << "pages past the end start free";
    for (uint32_t i = 0; i < 3; ++i) {
        auto page = pager.allocate();
        ASSERT_TRUE(page) << page.error().description;
        EXPECT_EQ(*page, before + i);
    }
    EXPECT_EQ(file->bytes().size(), (before + 3) * kPage);
    const GlobalMap map = globalMap(page1());
    for (uint32_t i = 0; i < 3; ++i)
        EXPECT_FALSE(map.isFree(before + i));
    EXPECT_TRUE(map.isFree(before + 3));
    for (uint32_t page = 0; page < before; ++page)
        EXPECT_EQ(map.isFree(page), globalMap(**PageReader(*file, "", kPage, before).page(1)).isFree(page));
}

TEST_F(PagerTest, TheMapRowGrowsPastItsWindowAndTheDatabaseStillReads) {
    Pager pager(*file, *reader);
    const std::size_t window = 8 * globalMap(page1()).bitmap.size();
    while (pager.pageCount() < window + 20)
        ASSERT_TRUE(pager.allocate());
    const GlobalMap map = globalMap(page1());
    EXPECT_GT(8 * map.bitmap.size(), window);
    for (uint32_t page = static_cast<uint32_t>(window) - 5; page < pager.pageCount(); ++page)
        EXPECT_FALSE(map.isFree(page)) << page;
    EXPECT_TRUE(map.isFree(pager.pageCount()));

    // The other rows of page 1 moved intact: the catalogue still opens.
    auto database = Database::open(std::make_unique<MemoryFile>(file->bytes()), "grown.mdb", OpenOptions{});
    ASSERT_TRUE(database) << database.error().description;
    EXPECT_TRUE(database->get()->tablesSchema());
}

TEST_F(PagerTest, AFullMapPageSlidesItsWindow) {
    // Leave page 1 no room to grow its map row.
    std::vector<uint8_t> full = page1();
    full[0x02] = full[0x03] = 0;
    Pager pager(*file, *reader);
    ASSERT_TRUE(pager.write(1, full));
    const std::size_t window = 8 * globalMap(page1()).bitmap.size();
    while (pager.pageCount() < window + 3)
        ASSERT_TRUE(pager.allocate());
    const GlobalMap map = globalMap(page1());
    EXPECT_EQ(8 * map.bitmap.size(), window);
    EXPECT_GT(map.start, 0u);
    EXPECT_EQ(map.start % 8, 0u);
    EXPECT_FALSE(map.isFree(pager.pageCount() - 1));
    EXPECT_TRUE(map.isFree(pager.pageCount()));
}

TEST_F(PagerTest, EncodedPagesAreWrittenEncodedAndReadDecoded) {
    // The pager sees pages as they read; the codec file beneath it encodes them.
    const uint32_t key = 0x12345678;
    crypto::PageCodecFile encoded(*file, crypto::jetPageEncoding(key), kPage);
    PageReader decodedReader(encoded, "", kPage, reader->pageCount());
    Pager pager(encoded, decodedReader);
    std::vector<uint8_t> content(kPage, 0xAB);
    ASSERT_TRUE(pager.write(3, content));
    content[100] = 0x01;
    ASSERT_TRUE(pager.writeChanged(3, content, 100, 1)); // part of a page is encoded with the whole page
    decodedReader.clearCache();
    EXPECT_EQ(**pager.read(3), content);
    std::vector<uint8_t> raw(file->bytes().begin() + 3 * kPage, file->bytes().begin() + 4 * kPage);
    EXPECT_NE(raw, content);
    crypto::jetPageEncoding(key)->decode(3, raw);
    EXPECT_EQ(raw, content);
}

TEST_F(PagerTest, TheFileStopsShortOfTwoGigabytes) {
    Pager pager(*file, *reader);
    reader->setPageCount(static_cast<uint32_t>(Pager::kMaxFileSize / kPage));
    const std::size_t size = file->bytes().size();
    auto page = pager.allocate();
    ASSERT_FALSE(page);
    EXPECT_EQ(page.error().jetNumber, 3001);
    EXPECT_EQ(file->bytes().size(), size);
}

} // namespace
