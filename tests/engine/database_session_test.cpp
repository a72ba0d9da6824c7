#include "database/storage/engine/database_session.h"
#include "database/storage/sql/parser.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace storage;
namespace fs = std::filesystem;

namespace {

using Access = DatabaseSession::Access;

class DatabaseSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path fixture = fs::path(TARNWICK_FIXTURES_DIR) / "ace14/testV2010.accdb";
        if (!fs::exists(fixture))
            GTEST_SKIP() << "no fixture folder";
        fs::copy_file(fixture, path);
    }
    testsupport::TempDir dir;
    const std::string path = dir.file("copy.accdb");
};

TEST_F(DatabaseSessionTest, AWriterIsAloneAndLeavesNoLockFileBehind) {
    {
        auto writer = DatabaseSession::open(path, OpenOptions{}, Access::ReadWrite);
        ASSERT_TRUE(writer) << writer.error().description;
        EXPECT_TRUE((*writer)->writable());
        EXPECT_TRUE(fs::exists(dir.file("copy.laccdb")));
        EXPECT_EQ(DatabaseSession::open(path, OpenOptions{}, Access::Read).error().jetNumber, 3045);
        EXPECT_EQ(DatabaseSession::open(path, OpenOptions{}, Access::ReadWrite).error().jetNumber, 3045);
        EXPECT_TRUE((*writer)->database().userTables());
    }
    EXPECT_FALSE(fs::exists(dir.file("copy.laccdb")));
    EXPECT_FALSE(fs::exists(path + "-journal"));
    auto readers = std::make_pair(DatabaseSession::open(path, OpenOptions{}, Access::Read),
                                  DatabaseSession::open(path, OpenOptions{}, Access::Read));
    EXPECT_TRUE(readers.first && readers.second);
}

TEST_F(DatabaseSessionTest, EngineErrorsComeBeforeAnyLock) {
    auto jet = DatabaseSession::open(path, OpenOptions{"", Engine::Jet, true}, Access::ReadWrite);
    ASSERT_FALSE(jet);
    EXPECT_EQ(jet.error().jetNumber, 3343);
    EXPECT_FALSE(fs::exists(dir.file("copy.laccdb")));
    EXPECT_EQ(DatabaseSession::open(dir.file("none.accdb"), OpenOptions{}, Access::ReadWrite).error().jetNumber, 3024);
}

TEST_F(DatabaseSessionTest, AReaderPutsRightACrashedWritersJournalFirst) {
    testsupport::writeFile(path + "-journal", "TWJRNL01 torn");
    // The torn journal never touched the database: it is only removed.
    const std::string before = testsupport::readFile(path);
    EXPECT_TRUE(DatabaseSession::open(path, OpenOptions{}, Access::Read));
    EXPECT_FALSE(fs::exists(path + "-journal"));
    EXPECT_EQ(testsupport::readFile(path), before);
}

TEST_F(DatabaseSessionTest, AReadOnlySessionRefusesChanges) {
    auto reader = DatabaseSession::open(path, OpenOptions{}, Access::Read);
    ASSERT_TRUE(reader);
    auto insert = sql::parse("INSERT INTO `Table1` VALUES('a')");
    ASSERT_TRUE(insert);
    EXPECT_EQ((*reader)->execute(*insert).error().jetNumber, 3027);
}

} // namespace
