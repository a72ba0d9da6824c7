#include "database/storage/file/posix_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// More pieces than one system call takes, with empty ones among them, written from an
// offset inside the file: every byte lands where a piece-by-piece write would put it.
TEST(PosixFile, GatheredWritesLandAsPieceByPieceWritesWould) {
    testsupport::TempDir dir;
    const std::string path = dir.file("pages.bin");
    testsupport::writeFile(path, "0123456789");
    int error = 0;
    auto file = storage::PosixFile::open(path, true, error);
    ASSERT_TRUE(file) << error;

    std::vector<std::vector<uint8_t>> data;
    for (std::size_t i = 0; i < 150; ++i)
        data.emplace_back(i % 7 == 0 ? 0 : 1 + i % 13, static_cast<uint8_t>(i));
    std::vector<std::span<const uint8_t>> pieces(data.begin(), data.end());
    ASSERT_TRUE(file->writeGathered(4, pieces));
    ASSERT_TRUE(file->writeGathered(0, {})); // nothing to write

    std::vector<uint8_t> expected{'0', '1', '2', '3'};
    for (const auto& piece : data)
        expected.insert(expected.end(), piece.begin(), piece.end());
    std::vector<uint8_t> stored(expected.size() + 1);
    auto read = file->read(0, stored);
    ASSERT_TRUE(read);
    ASSERT_EQ(*read, expected.size());
    stored.resize(*read);
    EXPECT_EQ(stored, expected);
}

} // namespace
