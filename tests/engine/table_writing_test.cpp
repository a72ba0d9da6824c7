// Statements carried out on copies of Access-made databases, read back by our reader
// and by mdbtools.
#include "database/storage/consistency_check.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/sql/parser.h"
#include "database/storage/write/index_page.h"
#include "storage/storage_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace storage;
namespace fs = std::filesystem;

namespace {

using Access = DatabaseSession::Access;

std::string copyFixture(const testsupport::TempDir& dir, const std::string& relative) {
    const fs::path from = fs::path(test::fixturesDir()) / relative;
    const std::string to = dir.file(from.filename().string());
    fs::copy_file(from, to);
    fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
    return to;
}

std::unique_ptr<DatabaseSession> openForWriting(const std::string& path, const std::string& password = "") {
    OpenOptions options;
    options.password = password;
    auto session = DatabaseSession::open(path, options, Access::ReadWrite);
    EXPECT_TRUE(session) << (session ? "" : session.error().description);
    return session ? std::move(*session) : nullptr;
}

Status run(DatabaseSession& session, const std::string& sql) {
    auto statement = sql::parse(sql);
    if (!statement)
        return statement.error();
    return session.execute(*statement);
}

// Every row of the table as text, one line per row, through our reader.
std::vector<std::string> ourRows(const std::string& path, const std::string& table, const std::string& password = "") {
    OpenOptions options;
    options.password = password;
    auto database = Database::open(path, options);
    EXPECT_TRUE(database) << (database ? "" : database.error().description);
    if (!database)
        return {};
    auto cursor = (*database)->openTable(table);
    EXPECT_TRUE(cursor);
    if (!cursor)
        return {};
    std::vector<std::string> rows;
    Row row;
    while (cursor->next(row)) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i)
            line += (i ? "|" : "") + formatValue(row[i]);
        rows.push_back(line);
    }
    EXPECT_TRUE(cursor->status());
    return rows;
}

std::vector<std::string> mdbRows(const std::string& path, const std::string& table) {
    std::string output;
    EXPECT_TRUE(
        test::runCommand("mdb-export -H -d '|' -Q " + test::shellQuote(path) + " " + test::shellQuote(table), output));
    std::vector<std::string> rows;
    std::size_t start = 0;
    for (std::size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
        rows.push_back(output.substr(start, end - start));
    return rows;
}

void expectConsistent(const std::string& path, const std::string& password = "") {
    OpenOptions options;
    options.password = password;
    auto database = Database::open(path, options);
    ASSERT_TRUE(database) << database.error().description;
    auto problems = checkConsistency(**database);
    ASSERT_TRUE(problems) << problems.error().description;
    for (const auto& problem : *problems)
        ADD_FAILURE() << problem.description;
    EXPECT_TRUE(test::readEverything(**database));
}

// The leaf entries of a real index, walked from its root through the node pages.
void collectIndexEntries(PageReader& pages, uint32_t number, std::vector<IndexEntry>& out, int depth = 0) {
    ASSERT_LT(depth, 16);
    auto page = pages.page(number);
    ASSERT_TRUE(page);
    auto parsed = parseIndexPage(**page, number);
    ASSERT_TRUE(parsed) << parsed.error().description;
    if (parsed->leaf) {
        out.insert(out.end(), parsed->entries.begin(), parsed->entries.end());
        return;
    }
    for (const IndexEntry& entry : parsed->entries) {
        const std::size_t before = out.size();
        collectIndexEntries(pages, entry.child, out, depth + 1);
        ASSERT_GT(out.size(), before);
        // A node entry repeats the last entry of its child's subtree.
        EXPECT_EQ(out.back().key, entry.key);
        EXPECT_EQ(out.back().page, entry.page);
    }
    if (parsed->childTail)
        collectIndexEntries(pages, parsed->childTail, out, depth + 1);
}

const char* const kEmptyDatabases[] = {"jet4/empty2003.mdb",    "jet4/adox_jet4.mdb",    "ace12/empty2007.accdb",
                                       "ace14/empty2010.accdb", "ace16/empty2016.accdb", "ace17/empty2019.accdb"};

class EmptyDatabaseTest : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override { SKIP_WITHOUT_FIXTURES(); }
    testsupport::TempDir dir;
};

TEST_P(EmptyDatabaseTest, CreatedTablesAndTheirRowsReadBackThroughBothReaders) {
    const std::string path = copyFixture(dir, GetParam());
    {
        auto session = openForWriting(path);
        ASSERT_TRUE(session);
        ASSERT_TRUE(run(*session, "CREATE TABLE `People`(`Name` VARCHAR, `City` VARCHAR);"));
        ASSERT_TRUE(run(*session, "INSERT INTO `People` VALUES('Ann','Oslo');"));
        ASSERT_TRUE(run(*session, "INSERT INTO `People` VALUES('O''Brien','Zürich');"));
        ASSERT_TRUE(run(*session, "INSERT INTO `People` VALUES('Σωκράτης','');"));
        ASSERT_TRUE(run(*session, "INSERT INTO `People` VALUES(NULL,'ab');"));
        ASSERT_TRUE(run(*session, "create table [Second Table] ([x] varchar, [y] text(10))"));
        ASSERT_TRUE(run(*session, "insert into [Second Table] values ('1', '2')"));
        EXPECT_EQ(*session->database().userTables(), (std::vector<std::string>{"People", "Second Table"}));
        ASSERT_TRUE(session->close());
    }
    const std::vector<std::string> expected{"Ann|Oslo", "O'Brien|Zürich", "Σωκράτης|", "|ab"};
    EXPECT_EQ(ourRows(path, "People"), expected);
    EXPECT_EQ(ourRows(path, "Second Table"), std::vector<std::string>{"1|2"});
    expectConsistent(path);
    if (!test::haveMdbtools())
        return;
    EXPECT_EQ(mdbRows(path, "People"), expected);
    std::string tables;
    ASSERT_TRUE(test::runCommand("mdb-tables -1 " + test::shellQuote(path), tables));
    EXPECT_EQ(tables, "People\nSecond Table\n");
    std::string schema;
    ASSERT_TRUE(test::runCommand("mdb-schema " + test::shellQuote(path) + " 2>/dev/null", schema));
    EXPECT_NE(schema.find("[y]\t\t\tText (10)"), std::string::npos) << schema;
}

TEST_P(EmptyDatabaseTest, ManyRowsFillPagesAndTheCatalogueIndexesStayInOrder) {
    const std::string path = copyFixture(dir, GetParam());
    {
        auto session = openForWriting(path);
        ASSERT_TRUE(session);
        // Enough tables that the catalogue's name index spreads over several pages.
        for (int t = 0; t < 120; ++t)
            ASSERT_TRUE(run(*session, "CREATE TABLE `Table with a long name number " + std::to_string(t) +
                                          "`(`A` VARCHAR, `B` MEMO)"));
        for (int i = 0; i < 3000; ++i)
            ASSERT_TRUE(run(*session, "INSERT INTO `Table with a long name number 7` VALUES('row " + std::to_string(i) +
                                          "', '" + std::string(static_cast<std::size_t>(i % 97), 'm') + "')"));
        ASSERT_TRUE(run(*session, "INSERT INTO `Table with a long name number 7` VALUES('long', '" +
                                      std::string(9000, 'L') + "')"));
        ASSERT_TRUE(session->close());
    }
    const auto rows = ourRows(path, "Table with a long name number 7");
    ASSERT_EQ(rows.size(), 3001u);
    EXPECT_EQ(rows[42], "row 42|" + std::string(42, 'm'));
    EXPECT_EQ(rows.back(), "long|" + std::string(9000, 'L'));
    expectConsistent(path);

    auto database = Database::open(path, OpenOptions{});
    ASSERT_TRUE(database);
    auto catalog = (*database)->openTable("MSysObjects");
    ASSERT_TRUE(catalog);
    std::size_t catalogRows = 0;
    Row row;
    while (catalog->next(row))
        ++catalogRows;
    for (const RealIndex& index : catalog->definition().realIndexes) {
        std::vector<IndexEntry> entries;
        collectIndexEntries((*database)->pages(), index.rootPage, entries);
        EXPECT_EQ(entries.size(), catalogRows);
        EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(), indexEntryLess));
    }
    if (test::haveMdbtools()) {
        EXPECT_EQ(mdbRows(path, "Table with a long name number 7").size(), 3001u);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, EmptyDatabaseTest, ::testing::ValuesIn(kEmptyDatabases));

class WritingTest : public ::testing::Test {
protected:
    void SetUp() override { SKIP_WITHOUT_FIXTURES(); }
    testsupport::TempDir dir;
};

TEST_F(WritingTest, RefusedStatementsLeaveTheFileAsItWas) {
    const std::string path = copyFixture(dir, "jet4/testV2000.mdb");
    const std::string before = testsupport::readFile(path);
    {
        auto session = openForWriting(path);
        ASSERT_TRUE(session);
        const std::pair<const char*, int> refused[] = {
            {"CREATE TABLE `Table1`(`A` VARCHAR)", 3010},
            {"CREATE TABLE `table1`(`A` VARCHAR)", 3010},
            {"CREATE TABLE `a.b`(`A` VARCHAR)", 3125},
            {"CREATE TABLE ` lead`(`A` VARCHAR)", 3125},
            {"CREATE TABLE `T`(`A` VARCHAR, `a` VARCHAR)", 3191},
            {"CREATE TABLE `T`(`A` VARCHAR(256))", 3259},
            {"CREATE TABLE `T`(`A` BIGINT)", 3259},
            {"INSERT INTO `Missing` VALUES('x')", 3078},
            {"INSERT INTO `Table3` VALUES('1')", 3346},
            {"INSERT INTO `Table1` VALUES('x','y','many','1','1','1','2001-01-01','1','True')", 3464},
            {"INSERT INTO `Table1` VALUES('x','y','300','1','1','1','2001-01-01','1','True')", 3349},
            {"INSERT INTO `Table1` VALUES('abcdefg','y','1','1','1','1','2001-01-01','1','True')", 3022},
            {"INSERT INTO `Table1` VALUES('ABCDEFG','y','1','1','1','1','2001-01-01','1','True')", 3022},
            {"INSERT INTO `Table1` VALUES(NULL,'y','1','1','1','1','2001-01-01','1','True')", 3058},
        };
        for (const auto& [sql, number] : refused) {
            Status status = run(*session, sql);
            ASSERT_FALSE(status) << sql;
            EXPECT_EQ(status.error().jetNumber, number) << sql << ": " << status.error().description;
        }
        Status tooLong = run(*session, "INSERT INTO `Table1` VALUES('" + std::string(51, 'x') +
                                           "','y','1','1','1','1','2001-01-01','1','True')");
        ASSERT_FALSE(tooLong);
        EXPECT_EQ(tooLong.error().jetNumber, 3163);
        ASSERT_TRUE(session->close());
    }
    EXPECT_EQ(testsupport::readFile(path), before);
}

TEST_F(WritingTest, AppendConvertsTextIntoEveryBasicType) {
    const std::string path = copyFixture(dir, "jet4/testV2000.mdb");
    {
        auto session = openForWriting(path);
        ASSERT_TRUE(session);
        ASSERT_TRUE(run(*session, "INSERT INTO `Table1` VALUES('new','text','7','-12','123456','2.5','2024-03-15 "
                                  "13:45:00','12.34567','yes')"));
        ASSERT_TRUE(run(*session, "INSERT INTO `Table1` VALUES('second',NULL,'0','0','0','-1e3','3/15/2024','0',"
                                  "'False')"));
        ASSERT_TRUE(session->close());
    }
    const auto rows = ourRows(path, "Table1");
    ASSERT_EQ(rows.size(), 4u);
    if (!test::haveMdbtools())
        return;
    const auto theirs = mdbRows(path, "Table1");
    ASSERT_EQ(theirs.size(), 4u);
    EXPECT_EQ(theirs[2], "new|text|7|-12|123456|2.5|03/15/24 13:45:00|12.3457|1");
    EXPECT_EQ(theirs[3], "second||0|0|0|-1000|03/15/24 00:00:00|0.0000|0");
    expectConsistent(path);
}

TEST_F(WritingTest, AutoNumbersContinueAndTheirIndexSplits) {
    const std::string path = copyFixture(dir, "jet4/testV2000.mdb");
    {
        auto session = openForWriting(path);
        ASSERT_TRUE(session);
        for (int i = 0; i < 2500; ++i)
            ASSERT_TRUE(run(*session, "INSERT INTO `Table3` VALUES('', 'value " + std::to_string(i) + "')"));
        ASSERT_TRUE(run(*session, "INSERT INTO `Table3` VALUES('9000', 'given')"));
        ASSERT_TRUE(run(*session, "INSERT INTO `Table3` VALUES(NULL, 'after the given one')"));
        Status duplicate = run(*session, "INSERT INTO `Table3` VALUES('17', 'again')");
        ASSERT_FALSE(duplicate);
        EXPECT_EQ(duplicate.error().jetNumber, 3022);
        // The refusal comes between commits: what the earlier rows changed is kept.
        ASSERT_TRUE(run(*session, "INSERT INTO `Table3` VALUES(NULL, 'after the refused one')"));
        ASSERT_TRUE(session->close());
    }
    const auto rows = ourRows(path, "Table3");
    ASSERT_EQ(rows.size(), 2503u);
    EXPECT_EQ(rows[0], "1|value 0");
    EXPECT_EQ(rows[2499], "2500|value 2499");
    EXPECT_EQ(rows[2501], "9001|after the given one");
    EXPECT_EQ(rows[2502], "9002|after the refused one");
    expectConsistent(path);

    auto database = Database::open(path, OpenOptions{});
    ASSERT_TRUE(database);
    auto cursor = (*database)->openTable("Table3");
    ASSERT_TRUE(cursor);
    ASSERT_FALSE(cursor->definition().realIndexes.empty());
    std::vector<IndexEntry> entries;
    collectIndexEntries((*database)->pages(), cursor->definition().realIndexes[0].rootPage, entries);
    EXPECT_EQ(entries.size(), 2503u);
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(), indexEntryLess));
    if (test::haveMdbtools()) {
        EXPECT_EQ(mdbRows(path, "Table3").size(), 2503u);
    }
}

// The fixture's only index is not unique, so no row looks it up: its entries wait for
// each commit and go in sorted, splitting pages of a tree that already has node pages.
TEST_F(WritingTest, EntriesOfAnIndexNoRowLooksUpGoInAtTheCommit) {
    const std::string path = copyFixture(dir, "jet4/compIndexTestV2003.mdb");
    constexpr int kSessions = 3, kRowsEach = 1500;
    for (int session = 0; session < kSessions; ++session) {
        auto writer = openForWriting(path);
        ASSERT_TRUE(writer);
        for (int i = 0; i < kRowsEach; ++i) {
            const int value = (session * kRowsEach + i) * 7919 % 2000; // scattered, most of them more than once
            ASSERT_TRUE(run(*writer, "INSERT INTO `Table1` VALUES('" + std::to_string(value) + "','r','s')"));
        }
        ASSERT_FALSE(run(*writer, "INSERT INTO `Table1` VALUES('many','r','s')"));
        ASSERT_TRUE(writer->close());
    }
    expectConsistent(path);

    auto database = Database::open(path, OpenOptions{});
    ASSERT_TRUE(database);
    auto cursor = (*database)->openTable("Table1");
    ASSERT_TRUE(cursor);
    const RealIndex& index = cursor->definition().realIndexes.at(0);
    std::vector<IndexEntry> entries;
    collectIndexEntries((*database)->pages(), index.rootPage, entries);
    EXPECT_EQ(entries.size(), 512u + kSessions * kRowsEach);
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(), indexEntryLess));
    std::size_t distinctKeys = 0;
    for (std::size_t i = 0; i < entries.size(); ++i)
        distinctKeys += (i == 0 || !(entries[i].key == entries[i - 1].key)) ? 1 : 0;
    EXPECT_EQ(index.uniqueEntryCount, distinctKeys);
    if (test::haveMdbtools()) {
        EXPECT_EQ(mdbRows(path, "Table1").size(), 512u + kSessions * kRowsEach);
    }
}

TEST_F(WritingTest, EnforcedRelationshipsNeedTheRelatedRow) {
    const std::string path = copyFixture(dir, "jet4/indexTestV2000.mdb");
    auto session = openForWriting(path);
    ASSERT_TRUE(session);
    const auto related = ourRows(path + "", "Table2"); // rows of the primary side
    ASSERT_FALSE(related.empty());
    Status missing = run(*session, "INSERT INTO `Table1` VALUES('100', '999', NULL, 'x', NULL)");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().jetNumber, 3201);
    EXPECT_NE(missing.error().description.find("'Table2'"), std::string::npos);
    const std::string existing = related[0].substr(0, related[0].find('|'));
    EXPECT_TRUE(run(*session, "INSERT INTO `Table1` VALUES('100', '" + existing + "', NULL, 'x', NULL)"));
}

TEST_F(WritingTest, EncodedJetPagesStayEncoded) {
    const std::string path = copyFixture(dir, "encrypted/db-enc.mdb");
    {
        auto session = openForWriting(path);
        ASSERT_TRUE(session);
        ASSERT_TRUE(run(*session, "CREATE TABLE `Added`(`A` VARCHAR)"));
        ASSERT_TRUE(run(*session, "INSERT INTO `Added` VALUES('hidden words')"));
        ASSERT_TRUE(session->close());
    }
    EXPECT_EQ(testsupport::readFile(path).find("hidden words"), std::string::npos);
    EXPECT_EQ(ourRows(path, "Added"), std::vector<std::string>{"hidden words"});
    expectConsistent(path);
    if (test::haveMdbtools()) {
        EXPECT_EQ(mdbRows(path, "Added"), std::vector<std::string>{"hidden words"});
    }
}

TEST_F(WritingTest, PasswordProtectedJetDatabasesAcceptRows) {
    const std::string path = copyFixture(dir, "encrypted/password-database.mdb");
    {
        auto session = openForWriting(path, "abcd1234");
        ASSERT_TRUE(session);
        ASSERT_TRUE(run(*session, "CREATE TABLE `T`(`A` VARCHAR)"));
        ASSERT_TRUE(run(*session, "INSERT INTO `T` VALUES('behind a password')"));
        ASSERT_TRUE(session->close());
    }
    EXPECT_EQ(ourRows(path, "T", "abcd1234"), std::vector<std::string>{"behind a password"});
    expectConsistent(path, "abcd1234");
}

} // namespace
