#include "database/storage/sql/parser.h"
#include "database/storage/sql/quick_insert.h"

#include <gtest/gtest.h>

using namespace storage::sql;

namespace {

TEST(SqlParser, ReadsTheStatementsTheImportBuilds) {
    auto create = parse("CREATE TABLE `New Table1`(`Name` VARCHAR, `City` VARCHAR);");
    ASSERT_TRUE(create) << create.error().description;
    const auto& table = std::get<CreateTable>(*create);
    EXPECT_EQ(table.table, "New Table1");
    ASSERT_EQ(table.columns.size(), 2u);
    EXPECT_EQ(table.columns[1].name, "City");
    EXPECT_EQ(table.columns[1].typeName, "VARCHAR");
    EXPECT_FALSE(table.columns[1].size);

    auto insert = parse("INSERT INTO `T` VALUES('O''Hara','',' x ');");
    ASSERT_TRUE(insert) << insert.error().description;
    const auto& row = std::get<Insert>(*insert);
    EXPECT_EQ(row.table, "T");
    ASSERT_EQ(row.values.size(), 3u);
    EXPECT_EQ(row.values[0].text, "O'Hara");
    EXPECT_EQ(row.values[1].text, "");
    EXPECT_EQ(row.values[2].text, " x ");

    auto select = parse("SELECT * FROM `Orders`");
    ASSERT_TRUE(select);
    EXPECT_EQ(std::get<SelectAll>(*select).table, "Orders");
}

TEST(SqlParser, AcceptsAnySpacingCaseAndQuoting) {
    const char* accepted[] = {
        "create   table\t[My Table] ( a  text(10) not null , [b c] varchar(255) with compression,d counter )",
        "Insert Into [x] (a, `b`) Values (-1.5e3, NULL, TRUE, #2020-01-02#, \"dq\")\r\n;  \n",
        "select*from T;",
        "CREATE TABLE t(x national character varying(20), y character varying, z double)",
        "INSERT INTO `unicode \xC3\xA9` VALUES('\xE2\x82\xAC')",
    };
    for (const char* sql : accepted) {
        SCOPED_TRACE(sql);
        const auto statement = parse(sql);
        EXPECT_TRUE(statement) << statement.error().description;
    }
    const auto literals = std::get<Insert>(*parse("INSERT INTO x VALUES (-1.5e3, NULL, TRUE, #2020-01-02#, 'a')"));
    ASSERT_EQ(literals.values.size(), 5u);
    EXPECT_EQ(literals.values[0].kind, Literal::Kind::Number);
    EXPECT_EQ(literals.values[0].text, "-1.5e3");
    EXPECT_EQ(literals.values[1].kind, Literal::Kind::Null);
    EXPECT_TRUE(literals.values[2].boolean);
    EXPECT_EQ(literals.values[3].kind, Literal::Kind::Date);
    EXPECT_EQ(literals.values[3].text, "2020-01-02");
}

TEST(SqlParser, RefusesWithTheErrorForWhatIsWrong) {
    struct Case {
        const char* sql;
        int jetNumber;
        const char* description; // empty: only the number is checked
    };
    const Case cases[] = {
        {"DROP TABLE x", 3129, "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."},
        {"", 3129, ""},
        {"CREATE TABLE `T);", 3290, "Syntax error in CREATE TABLE statement."}, // a definition without columns
        {"CREATE TABLE `T`();", 3290, ""},
        {"CREATE TABLE T(`a` VARCHAR, );", 3290, ""},
        {"CREATE TABLE T(`a` FOO);", 3259, "Invalid field data type."},
        {"CREATE TABLE T(`a` VARCHAR(x));", 3292, "Syntax error in field definition."},
        {"CREATE TABLE T(`a` VARCHAR `b` VARCHAR);", 3292, ""},
        {"CREATE TABLE Table(a TEXT);", 3290, ""}, // reserved word unquoted
        {"CREATE TABLE T(a TEXT); x", 3142, "Characters found after end of SQL statement."},
        {"INSERT INTO `T` VALUES);", 3134, "Syntax error in INSERT INTO statement."}, // a row without values
        {"INSERT `T` VALUES('a');", 3134, ""},
        {"INSERT INTO `T` VALUES('a' 'b');", 3075, "Syntax error (missing operator) in query expression ''a' 'b''."},
        {"INSERT INTO `T` VALUES('a,'b');", 3075, ""},
        {"INSERT INTO `T` VALUES('abc);", 3075, "Syntax error in string in query expression ''abc);'."},
        {"INSERT INTO `T` VALUES(abc);", 3061, "No value given for one or more required parameters."},
        {"INSERT INTO `T` VALUES('a');;", 3142, ""},
        {"INSERT INTO `T` VALUES('a') 'b'", 3142, ""},
        {"SELECT a FROM T", 3141, ""},
        {"SELECT * FROM", 3131, "Syntax error in FROM clause."},
        {"SELECT * FROM `T", 3131, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        const auto statement = parse(c.sql);
        ASSERT_FALSE(statement);
        EXPECT_EQ(statement.error().jetNumber, c.jetNumber) << statement.error().description;
        if (*c.description) {
            EXPECT_EQ(statement.error().description, c.description);
        }
    }
}

// The short way for row statements reads exactly what the general parser reads, and
// leaves every other form to it.
TEST(QuickInsert, ReadsTheImportsRowStatementsAsTheParserDoesAndNothingElse) {
    const char* const quick[] = {
        "INSERT INTO `T` VALUES('a','b');",
        "INSERT INTO `New Table1` VALUES('O''Hara','','''','x''''y');",
        "INSERT INTO `T` VALUES('caf\xC3\xA9','\xF0\x9F\x98\x80') ; \r\n",
        "INSERT INTO `T` VALUES('a, b')",
        "INSERT INTO `` VALUES('')",
    };
    Insert reused; // one statement's room serves the next, longer or shorter
    for (const char* text : quick) {
        SCOPED_TRACE(text);
        const std::optional<Insert> read = parseQuickInsert(text);
        ASSERT_TRUE(read);
        auto full = parseInFull(text);
        ASSERT_TRUE(full) << full.error().description;
        EXPECT_EQ(*read, std::get<Insert>(*full));
        ASSERT_TRUE(parseQuickInsert(text, reused));
        EXPECT_EQ(reused, *read);
    }
    const char* const others[] = {
        "insert into `T` VALUES('a')",       // another letter case
        "INSERT INTO [T] VALUES('a')",       // another kind of name
        "INSERT INTO `T` (`A`) VALUES('a')", // a field list
        "INSERT INTO `T` VALUES('a', 'b')",  // a blank between values
        "INSERT INTO `T` VALUES('a',2)",     // a number
        "INSERT INTO `T` VALUES('a)",        // unterminated
        "INSERT INTO `T` VALUES('a');x",     // something after the end
        "INSERT INTO `T` VALUES('a');;",     "INSERT INTO `T VALUES('a')",
    };
    for (const char* text : others) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(parseQuickInsert(text));
    }
    // What the short way leaves still gets the general parser's answer.
    EXPECT_TRUE(parse("insert into `T` VALUES('a')"));
    EXPECT_FALSE(parse("INSERT INTO `T` VALUES('a');x"));
}

} // namespace
