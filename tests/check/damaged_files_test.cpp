// `tarnwick-cli check` is what users run on a damaged database: whatever the file holds,
// it answers with findings or an error, never a crash, and leaves no lock file behind.
// Thousands of damaged copies go through the check as the command makes it; a sample of
// them through the command itself.

#include "check_test_support.h"
#include "database/storage/check/check_file.h"
#include "database/storage/create/new_database.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/journal/database_lock.h"
#include "database/storage/sql/parser.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <filesystem>
#include <random>

namespace checktest {
namespace {

namespace fs = std::filesystem;

// A database as `new-database` makes it, with a small import: a table of text, numbers
// and a long value.
std::string newDatabaseWithRows(const testsupport::TempDir& folder, const std::string& name) {
    const std::string path = folder.file(name);
    storage::NewDatabaseOptions options;
    options.format = *storage::defaultFormatForPath(path);
    EXPECT_TRUE(storage::createDatabase(path, options));
    auto session = storage::DatabaseSession::open(path, {}, storage::DatabaseSession::Access::ReadWrite);
    EXPECT_TRUE(session);
    if (!session)
        return path;
    std::vector<std::string> statements = {"CREATE TABLE `Lines`(`Line` LONG, `Name` VARCHAR(50), `Note` MEMO)"};
    for (int i = 0; i < 60; ++i)
        statements.push_back("INSERT INTO `Lines` VALUES(" + std::to_string(i) + ", 'name " + std::to_string(i) +
                             "', '" + std::string(i % 20 == 0 ? 3000 : 10, 'n') + "')");
    for (const std::string& sql : statements)
        EXPECT_TRUE((*session)->execute(*storage::sql::parse(sql))) << sql;
    EXPECT_TRUE((*session)->close());
    return path;
}

struct Source {
    std::string extension;
    std::string bytes;
};

std::vector<Source> sources(const testsupport::TempDir& folder) {
    std::vector<Source> out;
    for (const std::string& name : {std::string("made.mdb"), std::string("made.accdb")})
        out.push_back({fs::path(name).extension().string(), testsupport::readFile(newDatabaseWithRows(folder, name))});
    for (const char* fixture : {"jet4/compIndexTestV2003.mdb"})
        if (const std::string path = fixturePath(fixture); !path.empty())
            out.push_back({fs::path(path).extension().string(), testsupport::readFile(path)});
    for (const auto& entry : fs::directory_iterator(STORAGE_TEST_DATA_DIR))
        if (entry.path().extension() == ".bin")
            out.push_back({".mdb", testsupport::readFile(entry.path().string())});
    return out;
}

// Cut short anywhere, or bytes overwritten: mostly in the first pages, where the header,
// the global usage map and the catalogue lie, and in the definitions that follow.
std::string damaged(const std::string& bytes, std::mt19937& random) {
    std::string copy = bytes;
    if (copy.empty())
        return copy;
    if (random() % 4 == 0) {
        copy.resize(random() % copy.size());
        return copy;
    }
    const std::size_t span = random() % 2 == 0 ? std::min<std::size_t>(copy.size(), 6 * 4096) : copy.size();
    for (int n = 1 << (random() % 7); n > 0; --n)
        copy[random() % span] = static_cast<char>(random());
    return copy;
}

TEST(DamagedFiles, TheCheckNeverCrashesAndLeavesNoLockFile) {
    testsupport::TempDir folder;
    const std::vector<Source> originals = sources(folder);
    ASSERT_GE(originals.size(), 2u);
    std::mt19937 random(12);
    int opened = 0, refused = 0, viaCommand = 0;
    for (int i = 0; i < 1000; ++i) {
        const Source& source = originals[static_cast<std::size_t>(i) % originals.size()];
        const std::string path = folder.file("damaged" + source.extension);
        testsupport::writeFile(path, damaged(source.bytes, random));
        SCOPED_TRACE("copy " + std::to_string(i));
        if (i % 100 == 0) {
            // The command itself: its exit status, never a signal.
            const int status = std::system(
                (std::string(TARNWICK_CLI) + " check " + testsupport::shellQuote(path) + " >/dev/null 2>&1").c_str());
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << "status " << status;
            ++viaCommand;
        } else {
            const auto report = storage::check::checkDatabaseFile(path, {});
            ++(report ? opened : refused);
        }
        ASSERT_FALSE(fs::exists(storage::DatabaseLock::lockFilePath(path)));
        fs::remove(path + "-journal");
    }
    // The damages reach both: files that open with findings and files refused outright.
    EXPECT_GT(opened, 100);
    EXPECT_GT(refused, 100);
    EXPECT_EQ(viaCommand, 10);
}

} // namespace
} // namespace checktest
