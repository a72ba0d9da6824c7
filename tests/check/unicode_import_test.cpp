// Text beyond Latin-1 in indexed columns and in table names, in both sort orders: imported
// with tarnwick-cli and written by the engine, then checked by tarnwick-cli check (which
// walks every index and looks up every row's key) and read back by mdbtools.

#include "check_test_support.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/sql/parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace checktest {
namespace {

using storage::ColumnType;
using storage::DatabaseSession;

struct Output {
    std::string text;
    int status = -1;
};

Output runCli(const std::string& arguments) {
    Output output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        popen((std::string(TARNWICK_CLI) + " " + arguments + " 2>&1").c_str(), "r"), pclose);
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
        output.text.append(buffer.data(), n);
    output.status = WEXITSTATUS(pclose(pipe.release()));
    return output;
}

std::string quoted(const std::string& text) {
    return testsupport::shellQuote(text);
}

// A table with an AutoNumber primary key and a unique index on its text column.
void createPriceTable(DatabaseSession& session, const std::string& name) {
    storage::NewColumn id;
    id.name = "ID";
    id.type = ColumnType::Long;
    id.autoNumber = true;
    storage::NewColumn item;
    item.name = "Item";
    item.compressedUnicode = true;
    const std::vector<storage::NewIndex> indexes = {
        {"PrimaryKey", {storage::IndexColumn{0, true}}, 0x01 | 0x08, true},
        {"Item", {storage::IndexColumn{1, true}}, 0x01, false},
    };
    ASSERT_TRUE(session.createIndexedTable(name, {id, item}, indexes)) << name;
}

storage::Status insert(DatabaseSession& session, const std::string& table, const std::string& item) {
    auto statement = storage::sql::parse("INSERT INTO `" + table + "`(`Item`) VALUES('" + item + "')");
    if (!statement)
        return statement.error();
    return session.execute(*statement);
}

std::vector<std::string> items(const Rows& rows) {
    std::vector<std::string> out;
    for (const auto& row : rows)
        out.push_back(row.size() > 1 ? row[1] : "");
    std::sort(out.begin(), out.end());
    return out;
}

// Jet 4 keys text in General Legacy, ACE 14 and later in General.
class UnicodeImport : public ::testing::TestWithParam<const char*> {};

TEST_P(UnicodeImport, EveryScriptGoesIntoIndexesAndTableNames) {
    if (!std::filesystem::exists(TARNWICK_CLI) || fixturePath(GetParam()).empty())
        GTEST_SKIP() << "no tarnwick-cli or no fixture folder";
    testsupport::TempDir folder;
    const std::string path =
        copyFixture(GetParam(), folder, "db" + std::filesystem::path(GetParam()).extension().string());
    const std::string greekTable = "Ελλάδα € “Preis” – Москва 東京";
    const std::string emojiTable = "Smile 😀";
    const std::vector<std::string> engineItems = {"Ελλάδα", "Москва", "東京", "😀 smile", "e\u0301clair"};
    {
        auto session = DatabaseSession::open(path, {}, DatabaseSession::Access::ReadWrite);
        ASSERT_TRUE(session) << session.error().description;
        createPriceTable(**session, "Prices");
        createPriceTable(**session, greekTable);
        createPriceTable(**session, emojiTable);
        for (const std::string& item : engineItems) {
            ASSERT_TRUE(insert(**session, "Prices", item)) << item;
            ASSERT_TRUE(insert(**session, greekTable, item)) << item;
            ASSERT_TRUE(insert(**session, emojiTable, item)) << item;
        }
        // A unique index refuses what differs only in case, in characters the sort order
        // ignores (U+200D) or in how an accent is written, as Access does.
        for (const char* duplicate : {"ΕΛΛΆΔΑ", "москва", "東\u200D京", "\u00E9clair"}) {
            storage::Status status = insert(**session, "Prices", duplicate);
            ASSERT_FALSE(status) << duplicate;
            EXPECT_EQ(status.error().jetNumber, 3022) << duplicate;
        }
        ASSERT_TRUE((*session)->close());
    }

    // Windows-1252: € (80), “ ” (93 94), – (96); the AutoNumber field empty.
    const std::string input = folder.file("prices.txt");
    std::ofstream(input, std::ios::binary) << ", \x80 5\n, \x93quoted\x94\n, a \x96 b\n, Stra\337e\n";
    const std::vector<std::string> cliItems = {"€ 5", "“quoted”", "a – b", "Straße"};
    const Output append = runCli("import " + quoted(path) + " --append Prices " + quoted(input));
    EXPECT_EQ(append.status, 0) << append.text;
    const Output create = runCli("import " + quoted(path) + " --create " + quoted("Preis€ “Ελλάδα” [counter]") +
                                 " --columns-from-prompt A,B " + quoted(input));
    EXPECT_EQ(create.status, 0) << create.text;
    // The same values again: each one a duplicate key, so the run fails and adds nothing.
    EXPECT_EQ(runCli("import " + quoted(path) + " --append Prices " + quoted(input)).status, 1);

    const Output check = runCli("check " + quoted(path));
    EXPECT_EQ(check.status, 0) << check.text;
    EXPECT_EQ(check.text.substr(0, check.text.find(',')), "0 faults") << check.text;

    std::vector<std::string> expected = engineItems;
    expected.insert(expected.end(), cliItems.begin(), cliItems.end());
    std::sort(expected.begin(), expected.end());
    auto ours = engineRows(path, "Prices");
    ASSERT_TRUE(ours);
    EXPECT_EQ(items(*ours), expected);
    auto emoji = engineRows(path, emojiTable);
    ASSERT_TRUE(emoji);
    EXPECT_EQ(emoji->size(), engineItems.size());
    if (!haveMdbtools())
        return;
    // mdbtools prints a character outside the BMP as "??", and cannot name a table holding one.
    auto theirs = mdbtoolsRows(path, "Prices");
    ASSERT_TRUE(theirs);
    std::replace(expected.begin(), expected.end(), std::string("😀 smile"), std::string("?? smile"));
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(items(*theirs), expected);
    auto greek = mdbtoolsRows(path, greekTable);
    ASSERT_TRUE(greek);
    EXPECT_EQ(greek->size(), engineItems.size());
    auto created = mdbtoolsRows(path, "Preis€ “Ελλάδα” 1");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->size(), cliItems.size());
}

INSTANTIATE_TEST_SUITE_P(BothSortOrders, UnicodeImport,
                         ::testing::Values("jet4/empty2003.mdb", "ace14/empty2010.accdb"));

} // namespace
} // namespace checktest
