// A program that dies while writing leaves its journal beside the database. Whatever the
// user opens the database with next puts the database back; a journal that belongs to
// another file is set aside and never applied.

#include "check_test_support.h"
#include "database/storage/create/new_database.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/format/bytes.h"
#include "database/storage/journal/journal_format.h"
#include "database/storage/sql/parser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace checktest {
namespace {

namespace fs = std::filesystem;

std::string cli(const std::string& arguments) {
    return std::string(TARNWICK_CLI) + " " + arguments;
}

// A writer that dies in the middle of its first batch: a new table and rows, executed but
// not committed, its journal left behind as a crash leaves it.
void dieWhileWriting(const std::string& path) {
    const pid_t pid = fork();
    if (pid == 0) {
        auto session = storage::DatabaseSession::open(path, {}, storage::DatabaseSession::Access::ReadWrite);
        if (!session)
            _exit(2);
        const char* statements[] = {"CREATE TABLE `Lost`(`A` VARCHAR, `B` VARCHAR);",
                                    "INSERT INTO `Lost` VALUES('1','one');", "INSERT INTO `Lost` VALUES('2','two');"};
        for (const char* text : statements) {
            auto statement = storage::sql::parse(text);
            if (!statement || !(*session)->execute(*statement))
                _exit(3);
        }
        _exit(0); // no destructor runs: nothing is committed, as after kill -9
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_TRUE(fs::exists(path + "-journal")) << "the writer left no journal";
}

class HotJournal : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(TARNWICK_CLI))
            GTEST_SKIP() << "tarnwick-cli not built";
    }

    void expectWhole(const std::string& path) {
        const CheckResult check = checkFile(path);
        EXPECT_TRUE(check.opened) << check.openError;
        EXPECT_EQ(faultTexts(check.report), std::vector<std::string>());
        EXPECT_EQ(check.report.leakedPages, std::vector<uint32_t>());
    }

    testsupport::TempDir folder;
};

TEST_F(HotJournal, EveryCommandPutsBackAnInterruptedBatch) {
    for (const std::string command : {"tables", "dump", "check", "import"}) {
        SCOPED_TRACE(command);
        const std::string path = folder.file(command + ".mdb");
        ASSERT_TRUE(storage::createDatabase(path, {storage::FileFormat::Jet4, {}}));
        const auto sizeBefore = fs::file_size(path);
        dieWhileWriting(path);

        std::string output;
        const std::string quoted = testsupport::shellQuote(path);
        if (command == "dump") {
            // The table died with the batch, so dump says it does not exist; the database is back.
            EXPECT_FALSE(testsupport::runCommand(cli("dump " + quoted + " Lost 2>&1"), output));
            EXPECT_NE(output.find("cannot find"), std::string::npos) << output;
        } else if (command == "import") {
            const std::string input = folder.file("one.txt");
            ASSERT_TRUE(testsupport::runCommand("printf 'A,B\\nx,y\\n' > " + testsupport::shellQuote(input), output));
            EXPECT_TRUE(testsupport::runCommand(
                cli("import " + quoted + " --separator , --create Lost " + testsupport::shellQuote(input) + " 2>&1"),
                output))
                << output;
        } else {
            EXPECT_TRUE(testsupport::runCommand(cli(command + " " + quoted + " 2>&1"), output)) << output;
        }
        EXPECT_FALSE(fs::exists(path + "-journal"));
        EXPECT_FALSE(fs::exists(storage::DatabaseLock::lockFilePath(path))) << "a lock file was left";
        expectWhole(path);
        if (command != "import") {
            EXPECT_EQ(fs::file_size(path), sizeBefore);
            EXPECT_EQ(engineRows(path, "Lost"), std::nullopt);
        } else {
            EXPECT_EQ(engineRows(path, "Lost"), (Rows{{"x", "y"}}));
        }
    }
}

// A journal as the previous version of the program wrote it: whole pages, uncompressed.
std::string asPreviousVersion(const std::string& journal) {
    namespace jr = storage::journal;
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(journal.data()), journal.size());
    const std::optional<jr::Header> header = jr::decodeHeader(bytes);
    if (!header)
        return {};
    std::vector<uint8_t> previous(bytes.begin(), bytes.begin() + jr::kHeaderSize);
    previous[7] = '2';
    storage::writeU32(previous, 40, jr::crc32(std::span(previous).first(40)));
    std::vector<uint8_t> original;
    for (std::size_t at = jr::kHeaderSize;;) {
        const auto size = jr::recordSize(*header, bytes.subspan(std::min(at, bytes.size())));
        if (!size || at + *size > bytes.size())
            break;
        const auto page = jr::decodeRecord(*header, bytes.subspan(at, *size), original);
        if (!page)
            break;
        std::vector<uint8_t> record(4 + original.size() + 4);
        storage::writeU32(record, 0, *page);
        std::copy(original.begin(), original.end(), record.begin() + 4);
        storage::writeU32(record, 4 + original.size(), jr::crc32(std::span(record).first(4 + original.size())));
        previous.insert(previous.end(), record.begin(), record.end());
        at += *size;
    }
    return {previous.begin(), previous.end()};
}

// The program dies while its commit overwrites the database's pages: the next open puts
// every one back from the journal, whether this version wrote it or the previous one (a
// crash just before an upgrade).
TEST_F(HotJournal, PagesOverwrittenByADyingCommitArePutBack) {
    for (const bool previousVersion : {false, true}) {
        SCOPED_TRACE(previousVersion ? "previous version's journal" : "this version's journal");
        const std::string path = folder.file(previousVersion ? "previous.accdb" : "current.accdb");
        ASSERT_TRUE(storage::createDatabase(path, {}));
        const std::string before = testsupport::readFile(path);
        dieWhileWriting(path);
        std::string journal = testsupport::readFile(path + "-journal");
        if (previousVersion) {
            journal = asPreviousVersion(journal);
            testsupport::writeFile(path + "-journal", journal);
        }
        // Every page the journal holds is overwritten, as a commit cut short leaves them.
        const auto header = storage::journal::decodeHeader(
            std::span(reinterpret_cast<const uint8_t*>(journal.data()), journal.size()));
        ASSERT_TRUE(header);
        std::string damaged = testsupport::readFile(path);
        int overwritten = 0;
        for (std::size_t at = storage::journal::headerSize(*header); at + 8 <= journal.size();) {
            const std::span<const uint8_t> rest(reinterpret_cast<const uint8_t*>(journal.data()) + at, journal.size() - at);
            const auto size = storage::journal::recordSize(*header, rest);
            if (!size)
                break;
            const uint32_t page = storage::readU32(rest, 0);
            damaged.replace(static_cast<std::size_t>(page) * header->pageSize, header->pageSize, header->pageSize, '\xEE');
            ++overwritten;
            at += *size;
        }
        ASSERT_GT(overwritten, 0);
        testsupport::writeFile(path, damaged);

        std::string output;
        EXPECT_TRUE(testsupport::runCommand(cli("tables " + testsupport::shellQuote(path) + " 2>&1"), output)) << output;
        EXPECT_FALSE(fs::exists(path + "-journal"));
        EXPECT_TRUE(testsupport::readFile(path) == before) << "the database is not as it was before the batch";
        expectWhole(path);
    }
}

// A newer version of the program died writing, and this older one is run next: it cannot
// read that journal's records, so it leaves the journal and the database as they are.
TEST_F(HotJournal, AJournalOfANewerVersionIsLeftForThatVersion) {
    const std::string path = folder.file("newer.accdb");
    ASSERT_TRUE(storage::createDatabase(path, {}));
    const std::string before = testsupport::readFile(path);
    const std::string journal = "TWJRNL04" + std::string(100, '\x5A');
    testsupport::writeFile(path + "-journal", journal);

    std::string output;
    EXPECT_FALSE(testsupport::runCommand(cli("tables " + testsupport::shellQuote(path) + " 2>&1"), output));
    EXPECT_NE(output.find("newer version of Tarnwick"), std::string::npos) << output;
    EXPECT_TRUE(testsupport::readFile(path + "-journal") == journal);
    EXPECT_TRUE(testsupport::readFile(path) == before);
}

// The crashed database is deleted and made anew at the same path; its journal stays.
TEST_F(HotJournal, AJournalOfAnotherDatabaseIsSetAsideNotApplied) {
    const std::string path = folder.file("replaced.accdb");
    ASSERT_TRUE(storage::createDatabase(path, {}));
    dieWhileWriting(path);
    fs::remove(path);
    // Databases are dated to the second: one made in the same second is the same database.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    ASSERT_TRUE(storage::createDatabase(path, {}));
    const auto sizeBefore = fs::file_size(path);

    std::string output;
    EXPECT_TRUE(testsupport::runCommand(cli("tables " + testsupport::shellQuote(path) + " 2>&1"), output));
    EXPECT_NE(output.find("was written for another file"), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(path + "-journal"));
    EXPECT_TRUE(fs::exists(path + "-journal.not-applied"));
    EXPECT_EQ(fs::file_size(path), sizeBefore);
    expectWhole(path);

    // Said once: the next open finds no journal.
    EXPECT_TRUE(testsupport::runCommand(cli("tables " + testsupport::shellQuote(path) + " 2>&1"), output));
    EXPECT_EQ(output, "");
}

// The journal holds the database's pages, so it is no more readable than the database.
TEST_F(HotJournal, TheJournalHasTheDatabasesPermissions) {
    const std::string path = folder.file("private.mdb");
    ASSERT_TRUE(storage::createDatabase(path, {storage::FileFormat::Jet4, {}}));
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    dieWhileWriting(path);
    EXPECT_EQ(fs::status(path + "-journal").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

} // namespace
} // namespace checktest
