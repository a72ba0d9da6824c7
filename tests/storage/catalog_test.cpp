#include "storage_test_support.h"

#include "database/storage/format/text_codec.h"

#include <gtest/gtest.h>

#include <sstream>

namespace storage {
namespace {

using test::fixture;

std::vector<std::string> openableFixtures() {
    std::vector<std::string> paths;
    for (const char* folder : {"jet4", "ace12", "ace14", "ace16", "ace17"})
        for (const auto& file : std::filesystem::directory_iterator(test::fixturesDir() / folder))
            paths.push_back(file.path().string());
    paths.push_back(fixture("encrypted/db-enc.mdb"));
    std::sort(paths.begin(), paths.end());
    return paths;
}

// mdb-tables -1 lists the user tables in catalogue order (without system tables
// unless -S); linked tables it leaves out, as our list of local user tables does.
TEST(Catalog, UserTablesMatchMdbTables) {
    SKIP_WITHOUT_FIXTURES();
    if (!test::haveMdbtools())
        GTEST_SKIP() << "mdbtools not installed";
    for (const std::string& path : openableFixtures()) {
        SCOPED_TRACE(path);
        std::string output;
        ASSERT_TRUE(test::runCommand("mdb-tables -1 " + test::shellQuote(path), output));
        std::vector<std::string> expected;
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);)
            if (!line.empty())
                expected.push_back(line);
        auto db = Database::open(path, {});
        ASSERT_TRUE(db) << db.error().description;
        auto tables = (*db)->userTables();
        ASSERT_TRUE(tables);
        EXPECT_EQ(*tables, expected);
    }
}

TEST(Catalog, SchemaRowsetClassifiesObjects) {
    SKIP_WITHOUT_FIXTURES();
    struct Case {
        const char* file;
        std::vector<SchemaTableRow> mustContain;
        std::vector<std::string> mustLack;
    };
    const Case cases[] = {
        {"jet4/queryTestV2003.mdb",
         {{"MSysObjects", "SYSTEM TABLE"}, {"Table1", "TABLE"}, {"SelectQuery", "VIEW"}, {"UnionQuery", "VIEW"},
          {"CrosstabQuery", "VIEW"}},
         {"AppendQuery", "UpdateQuery", "DeleteQuery", "MakeTableQuery", "PassthroughQuery", "DataDefinitionQuery"}},
        {"ace12/linkerTestV2007.accdb", {{"Table2", "LINK"}, {"Table1", "TABLE"}}, {"Tables", "MSysDb"}},
        {"ace12/odbcLinkerTestV2007.accdb",
         {{"Ordrar", "PASS-THROUGH"}, {"Lokal", "TABLE"}, {"MSysNavPaneGroups", "ACCESS TABLE"}},
         {}},
        {"jet4/empty.mdb", {{"MSysAccessObjects", "ACCESS TABLE"}, {"MSysACEs", "SYSTEM TABLE"}}, {"Forms"}},
        {"ace12/indexTestV2007.accdb", {{"MSysCompactError", "TABLE"}}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto db = Database::open(fixture(c.file), {});
        ASSERT_TRUE(db) << db.error().description;
        auto rows = (*db)->tablesSchema();
        ASSERT_TRUE(rows);
        for (const SchemaTableRow& wanted : c.mustContain)
            EXPECT_NE(std::find(rows->begin(), rows->end(), wanted), rows->end()) << wanted.name;
        for (const std::string& name : c.mustLack)
            EXPECT_TRUE(std::none_of(rows->begin(), rows->end(), [&](auto& r) { return r.name == name; })) << name;
    }
}

// Sorted by TABLE_TYPE, then by TABLE_NAME ignoring case.
TEST(Catalog, SchemaRowsetIsInDocumentedOrder) {
    SKIP_WITHOUT_FIXTURES();
    for (const std::string& path : openableFixtures()) {
        SCOPED_TRACE(path);
        auto db = Database::open(path, {});
        ASSERT_TRUE(db);
        auto rows = (*db)->tablesSchema();
        ASSERT_TRUE(rows);
        ASSERT_FALSE(rows->empty());
        for (std::size_t i = 1; i < rows->size(); ++i) {
            const auto& a = (*rows)[i - 1];
            const auto& b = (*rows)[i];
            ASSERT_LE(a.type, b.type);
            if (a.type == b.type) {
                EXPECT_LT(foldedName(a.name), foldedName(b.name)) << a.name << " / " << b.name;
            }
        }
        // Every user table appears as TABLE.
        auto tables = (*db)->userTables();
        ASSERT_TRUE(tables);
        for (const std::string& table : *tables) {
            EXPECT_NE(std::find(rows->begin(), rows->end(), SchemaTableRow{table, "TABLE"}), rows->end()) << table;
        }
    }
}

TEST(Catalog, OpenTableIgnoresCaseAndReportsMissingTables) {
    SKIP_WITHOUT_FIXTURES();
    for (Engine engine : {Engine::Jet, Engine::Ace}) {
        auto db = Database::open(fixture("ace12/ASampleDatabase.accdb"), {.password = {}, .engine = Engine::Ace});
        ASSERT_TRUE(db);
        auto cursor = (*db)->openTable("ASSET items");
        ASSERT_TRUE(cursor) << cursor.error().description;
        EXPECT_EQ(cursor->name(), "Asset Items");

        auto jetDb = Database::open(fixture("jet4/testV2000.mdb"), {.password = {}, .engine = engine});
        ASSERT_TRUE(jetDb);
        auto missing = (*jetDb)->openTable("Nope");
        ASSERT_FALSE(missing);
        EXPECT_EQ(missing.error().jetNumber, 3078);
        const std::string expected =
            engine == Engine::Jet
                ? "The Microsoft Jet database engine cannot find the input table or query 'Nope'.  Make sure it "
                  "exists and that its name is spelled correctly."
                : "The Microsoft Access database engine cannot find the input table or query 'Nope'. Make sure it "
                  "exists and that its name is spelled correctly.";
        EXPECT_EQ(missing.error().description, expected);
    }
}

TEST(Catalog, LinkedTablesAndQueriesAreNotOpenedAsTables) {
    SKIP_WITHOUT_FIXTURES();
    auto linker = Database::open(fixture("ace12/linkerTestV2007.accdb"), {});
    ASSERT_TRUE(linker);
    auto linked = (*linker)->openTable("Table2");
    ASSERT_FALSE(linked);
    EXPECT_EQ(linked.error().kind, ErrorKind::NotSupported);

    auto queries = Database::open(fixture("jet4/queryTestV2003.mdb"), {});
    ASSERT_TRUE(queries);
    auto query = (*queries)->openTable("selectquery");
    ASSERT_FALSE(query);
    EXPECT_EQ(query.error().kind, ErrorKind::NotSupported);
}

// The README states rows and catalogue entries that hold whatever mdbtools prints.
TEST(Catalog, WideAndDeletedColumnTableDefinitions) {
    SKIP_WITHOUT_FIXTURES();
    auto wide = Database::open(fixture("jet4/testV2000.mdb"), {});
    ASSERT_TRUE(wide);
    auto table2 = (*wide)->openTable("Table2");
    ASSERT_TRUE(table2);
    EXPECT_EQ(table2->columns().size(), 89u);
    EXPECT_GT(table2->definition().pages.size(), 1u);
    EXPECT_EQ(table2->definition().realIndexes.size(), 5u);

    auto deleted = Database::open(fixture("jet4/delColTestV2000.mdb"), {});
    ASSERT_TRUE(deleted);
    auto table1 = (*deleted)->openTable("Table1");
    ASSERT_TRUE(table1);
    std::vector<uint16_t> numbers;
    for (const auto& column : table1->columns())
        numbers.push_back(column.number);
    EXPECT_EQ(numbers, (std::vector<uint16_t>{0, 2, 3, 5}));
}

} // namespace
} // namespace storage
