#include "cli/arguments.h"
#include "cli/csv_writer.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

TEST(CsvRecord, QuotesOnlyWhatNeedsQuoting) {
    EXPECT_EQ(cli::csvRecord({"a", std::nullopt, "", "b c"}), "a,,,b c\r\n");
    EXPECT_EQ(cli::csvRecord({"x,y", "say \"hi\"", "two\nlines", "cr\r"}),
              "\"x,y\",\"say \"\"hi\"\"\",\"two\nlines\",\"cr\r\"\r\n");
}

TEST(Arguments, SeparatesCommandPositionalsValuesAndSwitches) {
    QString error;
    const cli::Arguments arguments =
        cli::parseArguments({"import", "db.accdb", "--separator", "{TAB}", "--skip-header", "a.txt", "--", "--b.txt"},
                            {"--separator"}, &error);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(arguments.command, "import");
    EXPECT_EQ(arguments.positional, (QStringList{"db.accdb", "a.txt", "--b.txt"}));
    EXPECT_EQ(arguments.value("--separator"), QString("{TAB}"));
    EXPECT_TRUE(arguments.has("--skip-header"));
    EXPECT_FALSE(arguments.has("--append"));

    cli::parseArguments({"dump", "--password"}, {"--password"}, &error);
    EXPECT_FALSE(error.isEmpty());
}

struct Output {
    std::string text;
    int status = -1;
};

Output run(const std::string& arguments) {
    Output output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((std::string(TARNWICK_CLI) + " " + arguments + " 2>&1").c_str(), "r"),
                                                 pclose);
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
        output.text.append(buffer.data(), n);
    output.status = WEXITSTATUS(pclose(pipe.release()));
    return output;
}

std::string fixture(const std::string& name) { return std::string(TARNWICK_FIXTURES_DIR) + "/" + name; }

// A file whose name is Latin-1 on a UTF-8 system is imported from its own name.
TEST(TarnwickCli, ImportsAFileNamedInAnyEncoding) {
    testsupport::TempDir dir;
    const std::string text = dir.file("caf\xe9.txt");
    testsupport::writeFile(text, "Name,State\nTomas,NH\n");
    const std::string database = dir.file("new.accdb");
    ASSERT_EQ(run("new-database '" + database + "'").status, 0);
    const Output import = run("import '" + database + "' --separator , --create T '" + text + "'");
    EXPECT_EQ(import.status, 0) << import.text;
    EXPECT_EQ(run("dump '" + database + "' T").text, "Name,State\r\nTomas,NH\r\n");
}

TEST(TarnwickCli, ListsUserTablesAndReportsFailuresOnStandardError) {
    if (!std::filesystem::exists(TARNWICK_FIXTURES_DIR))
        GTEST_SKIP() << "no fixture folder";
    const Output tables = run("tables '" + fixture("jet4/testV2000.mdb") + "'");
    EXPECT_EQ(tables.status, 0);
    EXPECT_EQ(tables.text, "Table1\nTable2\nTable3\nTable4\n");

    const Output wrongPassword = run("tables '" + fixture("encrypted/password-database.mdb") + "' --password nope");
    EXPECT_EQ(wrongPassword.status, 1);
    EXPECT_EQ(wrongPassword.text, "Not a valid password. (Error Number = -2147217843)\n");

    const Output missing = run("dump /no/such/file.mdb T");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.text.find("/no/such/file.mdb"), std::string::npos);

    EXPECT_EQ(run("frobnicate").status, 2);
}

TEST(TarnwickCli, DumpsRowsAsCsvWithAHeaderLine) {
    if (!std::filesystem::exists(TARNWICK_FIXTURES_DIR))
        GTEST_SKIP() << "no fixture folder";
    const Output dump = run("dump '" + fixture("jet4/testV2000.mdb") + "' Table1");
    EXPECT_EQ(dump.status, 0);
    EXPECT_EQ(dump.text.substr(0, dump.text.find('\n') + 1), "A,B,C,D,E,F,G,H,I\r\n");
    EXPECT_NE(dump.text.find("abcdefg,hijklmnop,2,222,333333333,444.555,1974-09-21 00:00:00,3.5000,1\r\n"),
              std::string::npos);
}

} // namespace
