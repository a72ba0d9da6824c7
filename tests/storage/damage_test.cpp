// Damaged copies of fixtures: every way of breaking a file must end in a clean
// error (or a successful read), never a crash, hang or out-of-bounds access.
// Copies are made in memory or in a temporary folder; fixtures are only read.

#include "storage_test_support.h"

#include "database/storage/file/file.h"
#include "database/storage/table/data_page.h"
#include "database/storage/table/usage_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace storage {
namespace {

// A File over bytes owned by the test, so that one buffer can be damaged,
// opened and repaired many times without copying it.
class BorrowedFile final : public File {
public:
    explicit BorrowedFile(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}
    Result<std::size_t> read(uint64_t offset, std::span<uint8_t> out) override {
        if (offset >= m_bytes.size())
            return std::size_t{0};
        const std::size_t count = std::min<uint64_t>(out.size(), m_bytes.size() - offset);
        std::copy_n(m_bytes.begin() + static_cast<std::ptrdiff_t>(offset), count, out.begin());
        return count;
    }
    Status write(uint64_t, std::span<const uint8_t>) override { return Error{0, "read-only", ErrorKind::IOError}; }
    Result<uint64_t> size() override { return static_cast<uint64_t>(m_bytes.size()); }
    Status sync() override { return Status::ok(); }
    Status truncate(uint64_t) override { return Error{0, "read-only", ErrorKind::IOError}; }

private:
    const std::vector<uint8_t>& m_bytes;
};

// Opens and reads everything; returns the failure, or an empty Error on success.
Error openAndReadAll(const std::vector<uint8_t>& bytes) {
    auto db = Database::open(std::make_unique<BorrowedFile>(bytes), "damaged.mdb", {});
    if (!db)
        return db.error();
    if (Status status = test::readEverything(**db); !status)
        return status.error();
    return {};
}

void expectCleanOutcome(const Error& error) {
    if (error.description.empty())
        return;
    switch (error.jetNumber) {
    case 3343: break;
    case 3049:
        EXPECT_EQ(error.kind, ErrorKind::Corruption);
        EXPECT_EQ(error.description.rfind("Cannot open database 'damaged.mdb'.  It may not be a database", 0), 0u)
            << error.description;
        break;
    default: EXPECT_EQ(error.kind, ErrorKind::NotSupported) << error.jetNumber << " " << error.description;
    }
}

TEST(DamagedFile, TruncatedCopiesOnDisk) {
    SKIP_WITHOUT_FIXTURES();
    const std::vector<uint8_t> original = test::readBytes(test::fixture("jet4/indexTestV2000.mdb"));
    ASSERT_FALSE(original.empty());
    test::TempDir dir;
    const std::size_t sizes[] = {0, 1, 100, 4095, 4096, 8192, 12288, 12289, 20000, original.size() / 2,
                                 original.size() - 4096, original.size() - 1};
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        const std::filesystem::path path = dir.path() / ("cut" + std::to_string(size) + ".mdb");
        {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(original.data()), static_cast<std::streamsize>(size));
        }
        auto db = Database::open(path.string(), {});
        if (size < 4096) {
            ASSERT_FALSE(db);
            EXPECT_EQ(db.error().jetNumber, 3343);
            EXPECT_EQ(db.error().description, "Unrecognized database format '" + path.string() + "'.");
            continue;
        }
        if (size < 3 * 4096) {
            ASSERT_FALSE(db);
            EXPECT_EQ(db.error().jetNumber, 3049);
            continue;
        }
        if (!db) {
            EXPECT_EQ(db.error().jetNumber, 3049) << db.error().description;
            continue;
        }
        Status status = test::readEverything(**db);
        if (!status) {
            EXPECT_EQ(status.error().jetNumber, 3049);
            EXPECT_NE(status.error().description.find("(page "), std::string::npos) << status.error().description;
        }
    }
}

TEST(DamagedFile, TargetedDamageGivesTheExpectedError) {
    SKIP_WITHOUT_FIXTURES();
    const std::vector<uint8_t> original = test::readBytes(test::fixture("jet4/testV2000.mdb"));
    ASSERT_FALSE(original.empty());
    struct Case {
        const char* what;
        std::size_t offset;
        uint8_t value;
        int jetNumber;
        const char* detail; // expected in the description
    };
    constexpr std::size_t page2 = 2 * 4096;
    const Case cases[] = {
        {"page 0 type", 0x00, 0x01, 3343, "Unrecognized"},
        {"version byte: Jet 3", 0x14, 0x00, 3343, "Unrecognized"},
        {"version byte: unknown", 0x14, 0x09, 3343, "Unrecognized"},
        {"engine name", 0x05, 'X', 3343, "Unrecognized"},
        {"catalogue page type", page2, 0x01, 3049, "page 2, offset 0x0: expected a table definition page"},
        {"catalogue continuation points to itself", page2 + 4, 0x02, 3049, "cycle"},
        {"catalogue continuation past the end", page2 + 6, 0x7F, 3049, "past the end of the file"},
        {"catalogue column count", page2 + 0x2E, 0x7F, 3049, "page 2"},
        {"catalogue owned-pages map pointer", page2 + 0x3A, 0x70, 3049, "past the end of the file"},
        {"catalogue real index count", page2 + 0x36, 0x40, 3049, "index count out of range"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = original;
        bytes[c.offset] = c.value;
        const Error error = openAndReadAll(bytes);
        EXPECT_EQ(error.jetNumber, c.jetNumber) << error.description;
        EXPECT_NE(error.description.find(c.detail), std::string::npos) << error.description;
    }
}

// Damage found through the engine's own structures: an overflow row that points
// to itself, and a table whose usage map has an unknown type.
TEST(DamagedFile, CyclesAndUnknownMapTypesInATable) {
    SKIP_WITHOUT_FIXTURES();
    std::vector<uint8_t> bytes = test::readBytes(test::fixture("jet4/overflowTestV2000.mdb"));
    ASSERT_FALSE(bytes.empty());
    std::size_t overflowRow = 0, overflowPage = 0, mapRow = 0;
    {
        auto db = Database::open(std::make_unique<BorrowedFile>(bytes), "damaged.mdb", {});
        ASSERT_TRUE(db);
        auto cursor = (*db)->openTable("Table1");
        ASSERT_TRUE(cursor);
        PageReader& pages = (*db)->pages();
        auto owned = readUsageMap(pages, cursor->definition().ownedPages);
        ASSERT_TRUE(owned);
        for (uint32_t number : owned->pages) {
            const Bytes page(**pages.page(number));
            if (page[0] != 0x01 || readU32(page, 4) != cursor->definition().firstPage)
                continue;
            for (uint16_t row = 0; row < *dataPageRowCount(pages, number, page) && overflowRow == 0; ++row) {
                auto slot = locateRow(pages, number, page, row);
                ASSERT_TRUE(slot);
                if (slot->overflow && !slot->deleted) {
                    overflowPage = number;
                    overflowRow = row;
                    bytes[number * 4096 + slot->start] = static_cast<uint8_t>(row); // point to itself
                    bytes[number * 4096 + slot->start + 1] = static_cast<uint8_t>(number);
                    bytes[number * 4096 + slot->start + 2] = static_cast<uint8_t>(number >> 8);
                    bytes[number * 4096 + slot->start + 3] = 0;
                }
            }
        }
        const RowPointer map = cursor->definition().ownedPages;
        const Bytes holder(**pages.page(map.page));
        mapRow = map.page * 4096 + locateRow(pages, map.page, holder, map.row)->start;
    }
    ASSERT_NE(overflowPage, 0u) << "the fixture has overflow rows";
    Error error = openAndReadAll(bytes);
    EXPECT_EQ(error.jetNumber, 3049);
    EXPECT_NE(error.description.find("overflow rows point to each other"), std::string::npos) << error.description;

    bytes[mapRow] = 0x07;
    error = openAndReadAll(bytes);
    EXPECT_EQ(error.jetNumber, 3049);
    EXPECT_NE(error.description.find("unknown usage map type 7"), std::string::npos) << error.description;
}

// Flips bytes all over a small database, one at a time: each outcome must be clean.
// Under the sanitizer build this also proves no out-of-bounds read.
TEST(DamagedFile, FlippedBytesAnywhereGiveCleanOutcomes) {
    SKIP_WITHOUT_FIXTURES();
    for (const char* name : {"jet4/indexTestV2000.mdb", "ace12/linkeeTest.accdb", "encrypted/db-enc.mdb"}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> bytes = test::readBytes(test::fixture(name));
        ASSERT_FALSE(bytes.empty());
        int failures = 0;
        for (std::size_t offset = 0; offset < bytes.size(); offset += 401) {
            const uint8_t saved = bytes[offset];
            bytes[offset] = static_cast<uint8_t>(saved ^ 0xA5);
            const Error error = openAndReadAll(bytes);
            bytes[offset] = saved;
            SCOPED_TRACE(offset);
            expectCleanOutcome(error);
            if (!error.description.empty())
                ++failures;
        }
        // Some damage must have been noticed, or the test damaged nothing that matters.
        EXPECT_GT(failures, 0);
    }
}

} // namespace
} // namespace storage
