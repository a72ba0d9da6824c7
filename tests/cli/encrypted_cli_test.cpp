// Password-protected databases through tarnwick-cli: the encrypted ACCDB fixtures list
// and dump, refuse wrong passwords untouched, take imports that read back, pass the
// check and hold none of the imported text in clear; so do databases new-database makes.

#include "support/commands.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using testsupport::shellQuote;

struct Output {
    std::string text;
    bool succeeded = false;
};

Output cli(const std::string& arguments) {
    Output output;
    output.succeeded = testsupport::runCommand(std::string(TARNWICK_CLI) + " " + arguments + " 2>&1", output.text);
    return output;
}

std::string withPassword(const std::string& path, const std::string& password) {
    return shellQuote(path) + (password.empty() ? std::string() : " --password " + shellQuote(password));
}

struct Encrypted {
    const char* name;
    const char* password;
    const char* tables;
    const char* dumpStart;
    int rows;
};

const Encrypted kFixtures[] = {
    {"db2007-oldenc.accdb", "Test123", "Table1\n", "ID,Field1\r\n1,foo\r\n", 1},
    {"db2007-enc.accdb", "Test123", "Table1\n", "ID,Field1\r\n1,foo\r\n", 1},
    {"db2013-enc.accdb", "1234", "Customers\n", "ID,Field1\r\n1,Test\r\n2,Test2\r\n", 7},
};

std::string fixture(const std::string& name) {
    return std::string(TARNWICK_FIXTURES_DIR) + "/encrypted/" + name;
}

int lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

class EncryptedDatabases : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(fixture("db2013-enc.accdb")))
            GTEST_SKIP() << "no fixture folder";
        testsupport::writeFile(folder.file("first.txt"), "Alpha, Beta\nQuokkaSecret, ZebraHidden\nplum, 42\n");
        testsupport::writeFile(folder.file("second.txt"), "Alpha, Beta\nXylophoneSecret, UnicornHidden\n");
        testsupport::writeFile(folder.file("more.txt"), "Alpha, Beta\nAppendedWalrus, AppendedNarwhal\n");
    }

    // Imports the two files as new tables, then appends to the first; reads them back and checks.
    void importAndReadBack(const std::string& path, const std::string& password) {
        const std::string database = withPassword(path, password);
        const Output created = cli("import " + database + " --create 'Imported[counter]' " +
                                   shellQuote(folder.file("first.txt")) + " " + shellQuote(folder.file("second.txt")));
        EXPECT_TRUE(created.succeeded) << created.text;
        const Output appended =
            cli("import " + database + " --append Imported1 --skip-header " + shellQuote(folder.file("more.txt")));
        EXPECT_TRUE(appended.succeeded) << appended.text;
        EXPECT_EQ(cli("dump " + database + " Imported1").text,
                  "Alpha,Beta\r\nQuokkaSecret,ZebraHidden\r\nplum,42\r\nAppendedWalrus,AppendedNarwhal\r\n");
        EXPECT_EQ(cli("dump " + database + " Imported2").text, "Alpha,Beta\r\nXylophoneSecret,UnicornHidden\r\n");
        const Output check = cli("check " + database);
        EXPECT_TRUE(check.succeeded) << check.text;
        EXPECT_EQ(check.text, "0 faults, 0 warnings, 0 leaked pages.\n");
        EXPECT_FALSE(fs::exists(path + "-journal"));
        const std::string bytes = testsupport::readFile(path);
        for (const char* text : {"QuokkaSecret", "ZebraHidden", "XylophoneSecret", "AppendedWalrus", "Imported1"})
            EXPECT_FALSE(testsupport::holdsText(bytes, text)) << text << " is in the file in clear";
    }

    testsupport::TempDir folder;
};

TEST_F(EncryptedDatabases, FixturesListAndDumpWithTheirPasswordAndRefuseOthersUntouched) {
    for (const Encrypted& each : kFixtures) {
        SCOPED_TRACE(each.name);
        const std::string path = fixture(each.name);
        const std::string before = testsupport::readFile(path);
        const Output tables = cli("tables " + withPassword(path, each.password));
        EXPECT_TRUE(tables.succeeded);
        EXPECT_EQ(tables.text, each.tables);
        const std::string table(each.tables, std::string(each.tables).find('\n'));
        const Output dump = cli("dump " + withPassword(path, each.password) + " " + table);
        EXPECT_TRUE(dump.succeeded) << dump.text;
        EXPECT_EQ(dump.text.substr(0, std::string(each.dumpStart).size()), each.dumpStart);
        EXPECT_EQ(lines(dump.text), each.rows + 1);
        for (const std::string& wrong : {std::string(), std::string("wrong"), std::string(each.password) + " "}) {
            const Output refused = cli("tables " + withPassword(path, wrong));
            EXPECT_FALSE(refused.succeeded);
            EXPECT_EQ(refused.text, "Not a valid password. (Error Number = -2147217843)\n") << wrong;
        }
        EXPECT_EQ(testsupport::readFile(path), before);
    }
}

TEST_F(EncryptedDatabases, CopiesOfTheFixturesTakeImportsThatStayEncrypted) {
    for (const Encrypted& each : kFixtures) {
        SCOPED_TRACE(each.name);
        const std::string path = folder.file(each.name);
        fs::copy_file(fixture(each.name), path);
        fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
        importAndReadBack(path, each.password);
        // The fixture's own table is still whole.
        const std::string table(each.tables, std::string(each.tables).find('\n'));
        EXPECT_EQ(lines(cli("dump " + withPassword(path, each.password) + " " + table).text), each.rows + 1);
        // A refused import changes nothing either.
        const std::string before = testsupport::readFile(path);
        EXPECT_FALSE(
            cli("import " + withPassword(path, "wrong") + " --create T " + shellQuote(folder.file("first.txt")))
                .succeeded);
        EXPECT_EQ(testsupport::readFile(path), before);
    }
}

TEST_F(EncryptedDatabases, NewDatabasesWithAPasswordOrEncodingTakeImports) {
    const std::string accdb = folder.file("new.accdb");
    ASSERT_TRUE(cli("new-database " + shellQuote(accdb) + " --password 'Tiger Lily'").succeeded);
    EXPECT_EQ(cli("tables " + shellQuote(accdb)).text, "Not a valid password. (Error Number = -2147217843)\n");
    EXPECT_EQ(cli("tables " + withPassword(accdb, "tiger lily")).text,
              "Not a valid password. (Error Number = -2147217843)\n");
    importAndReadBack(accdb, "Tiger Lily");

    const std::string mdb = folder.file("encoded.mdb");
    ASSERT_TRUE(cli("new-database " + shellQuote(mdb) + " --encode").succeeded);
    importAndReadBack(mdb, "");
    if (testsupport::haveMdbtools()) {
        std::string exported;
        EXPECT_TRUE(testsupport::runCommand("mdb-export " + shellQuote(mdb) + " Imported1", exported));
        EXPECT_EQ(
            exported,
            "Alpha,Beta\n\"QuokkaSecret\",\"ZebraHidden\"\n\"plum\",\"42\"\n\"AppendedWalrus\",\"AppendedNarwhal\"\n");
    }
}

} // namespace
