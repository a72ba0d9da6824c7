// tarnwick-cli at the limits of the machine: a file-size limit that stops the database
// from growing, and a text file larger than the memory the program may use. Each ends
// with a message and exit status 1, never with the program killed, and the database is
// whole afterwards.

#include "check_test_support.h"
#include "database/storage/create/new_database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace checktest {
namespace {

namespace fs = std::filesystem;

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true; // the sanitizer's shadow memory needs more than any small limit
#else
constexpr bool kSanitized = false;
#endif

class Limits : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(TARNWICK_CLI))
            GTEST_SKIP() << "tarnwick-cli not built";
    }

    // Runs the import in a shell that first sets `limit`; its output and whether it exited with 1.
    bool importFails(const std::string& limit, const std::string& database, const std::string& input,
                     std::string& output, const std::string& into = "--create Rows") {
        const std::string command = "(" + limit + "; exec " + std::string(TARNWICK_CLI) + " import " +
                                    testsupport::shellQuote(database) + " --separator , " + into + " " +
                                    testsupport::shellQuote(input) + ") 2>&1; echo \"exit $?\"";
        testsupport::runCommand(command, output);
        return output.find("exit 1\n") != std::string::npos;
    }

    testsupport::TempDir folder;
};

TEST_F(Limits, AFileSizeLimitIsAWriteErrorAndTheRowsBeforeItStay) {
    const std::string database = folder.file("limited.mdb");
    ASSERT_TRUE(storage::createDatabase(database, {storage::FileFormat::Jet4, {}}));
    const std::string input = folder.file("rows.txt");
    {
        std::ofstream out(input);
        out << "Number,Text\n";
        for (int row = 1; row <= 20000; ++row)
            out << row << "," << std::string(100, 'x') << "\n";
    }
    std::string output;
    // The database may grow to 1 MB; the rows need several.
    EXPECT_TRUE(importFails("ulimit -f 1024", database, input, output)) << output;
    EXPECT_NE(output.find("Could not write to '" + database + "': File too large."), std::string::npos) << output;

    std::string tables;
    EXPECT_TRUE(
        testsupport::runCommand(std::string(TARNWICK_CLI) + " tables " + testsupport::shellQuote(database), tables));
    const CheckResult check = checkFile(database);
    EXPECT_TRUE(check.opened) << check.openError;
    EXPECT_EQ(faultTexts(check.report), std::vector<std::string>());
    const std::optional<Rows> rows = engineRows(database, "Rows");
    for (std::size_t i = 0; rows && i < rows->size(); ++i)
        ASSERT_EQ((*rows)[i][0], std::to_string(i + 1));
}

// The table's index is not unique: its entries wait for each commit, which then needs
// room for the pages they change. That room is taken with the rows, so the limit stops a
// row, and the rows before it are committed with their index entries.
TEST_F(Limits, AFileSizeLimitStopsARowAndNeverTheCommitOfTheRowsBefore) {
    if (fixturePath("jet4/compIndexTestV2003.mdb").empty())
        GTEST_SKIP() << "no fixture folder";
    const std::string database = copyFixture("jet4/compIndexTestV2003.mdb", folder, "indexed.mdb");
    const std::string input = folder.file("rows.txt");
    {
        std::ofstream out(input);
        for (int row = 1; row <= 20000; ++row)
            out << (row * 7919) % 20011 << "," << std::string(20, 'r') << "," << row << "\n";
    }
    std::string output;
    EXPECT_TRUE(importFails("ulimit -f 1024", database, input, output, "--append Table1")) << output;
    EXPECT_NE(output.find("File too large."), std::string::npos) << output;

    const CheckResult check = checkFile(database);
    ASSERT_TRUE(check.opened) << check.openError;
    EXPECT_EQ(faultTexts(check.report), std::vector<std::string>()); // every row has its index entry
    const std::optional<Rows> rows = engineRows(database, "Table1");
    ASSERT_TRUE(rows);
    ASSERT_GT(rows->size(), 512u + 1000u) << "the rows before the limit were not kept";
    for (std::size_t i = 512; i < rows->size(); ++i)
        ASSERT_EQ((*rows)[i][2], std::to_string(i - 511));
}

TEST_F(Limits, ATextFileLargerThanTheMemoryLeftIsAFailureWithItsMessage) {
    if (kSanitized)
        GTEST_SKIP() << "a memory limit and the address sanitizer do not go together";
    const std::string database = folder.file("memory.accdb");
    ASSERT_TRUE(storage::createDatabase(database, {}));
    const std::string input = folder.file("huge.txt");
    std::ofstream(input).close();
    fs::resize_file(input, 3ull << 30); // 3 GB that take no room on the disk
    std::string output;
    EXPECT_TRUE(importFails("ulimit -v 1000000", database, input, output)) << output;
    EXPECT_NE(output.find("Out of memory. The file '" + input + "' is too large"), std::string::npos) << output;
    const CheckResult check = checkFile(database);
    EXPECT_TRUE(check.opened) << check.openError;
}

} // namespace
} // namespace checktest
