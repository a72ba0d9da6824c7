// The Access providers over our storage engine, against databases made by Access.

#include "database/dataaccess/connection.h"
#include "database/dataaccess/recordset.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dataaccess;

namespace {

std::string fixture(const std::string& name) {
    return std::string(TARNWICK_FIXTURES_DIR) + "/" + name;
}

class StorageProviderTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(TARNWICK_FIXTURES_DIR))
            GTEST_SKIP() << "no fixture folder";
    }
    static std::string jet(const std::string& path, const std::string& password = "") {
        return "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=" + path + ";JET OLEDB:Database Password=" + password;
    }
    static std::string ace(const std::string& path, const std::string& password = "") {
        return "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=" + path + ";JET OLEDB:Database Password=" + password;
    }
};

TEST_F(StorageProviderTest, OpenFailuresCarryTheProvidersNumbersAndTexts) {
    struct Case {
        std::string connectionString;
        int number;
        std::string description;
    };
    const std::string missing = fixture("jet4/no-such-file.mdb");
    const std::string accdb = fixture("ace14/testV2010.accdb");
    const std::string jet3 = fixture("jet3/testV1997.mdb");
    const std::string protectedMdb = fixture("encrypted/password-database.mdb");
    const Case cases[] = {
        {ace(missing), -2147467259, "Could not find file '" + missing + "'."},
        {jet(accdb), -2147467259, "Unrecognized database format '" + accdb + "'."},
        {ace(jet3), -2147467259,
         "Unrecognized database format '" + jet3 +
             "'.  It is an Access 97 (Jet 3) database; Tarnwick opens databases of Access 2000 and later. Convert it "
             "to a later format in Access first."},
        {jet(protectedMdb), -2147217843, "Not a valid password."},
        {jet(protectedMdb, "wrong"), -2147217843, "Not a valid password."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.connectionString);
        Connection connection;
        const Status status = connection.Open(c.connectionString);
        ASSERT_FALSE(status);
        EXPECT_EQ(status.number(), c.number);
        EXPECT_EQ(status.description(), c.description);
        EXPECT_EQ(connection.State(), objectstate::kClosed);
    }
}

TEST_F(StorageProviderTest, ProviderOpensByTheFilesOwnFormatAndListsTables) {
    for (const std::string& connectionString :
         {ace(fixture("jet4/testV2000.mdb")), jet(fixture("jet4/testV2000.mdb")), ace(fixture("ace14/testV2010.accdb")),
          jet(fixture("encrypted/password-database.mdb"), "abcd1234")}) {
        SCOPED_TRACE(connectionString);
        Connection connection;
        ASSERT_TRUE(connection.Open(connectionString));
        Recordset rowset;
        ASSERT_TRUE(connection.OpenSchema(kSchemaTables, rowset));
        int userTables = 0;
        int systemTables = 0;
        while (!rowset.Eof()) {
            std::optional<std::string> type;
            ASSERT_TRUE(rowset.Value("TABLE_TYPE", type));
            userTables += type == "TABLE";
            systemTables += type == "SYSTEM TABLE";
            ASSERT_TRUE(rowset.MoveNext());
        }
        EXPECT_GT(userTables, 0);
        EXPECT_GT(systemTables, 0);
    }
}

TEST_F(StorageProviderTest, SelectCountsColumnsAndMissingTablesAreReported) {
    Connection connection;
    ASSERT_TRUE(connection.Open(jet(fixture("jet4/testV2000.mdb"))));
    Recordset recordset;
    ASSERT_TRUE(recordset.Open("SELECT * FROM `table1`", connection, 3, -1));
    EXPECT_EQ(recordset.FieldsCount(), 9);
    EXPECT_FALSE(recordset.Eof());
    std::optional<std::string> value;
    ASSERT_TRUE(recordset.Value("A", value));
    EXPECT_EQ(value, "abcdefg");
    recordset.Close();

    const Status missing = recordset.Open("SELECT * FROM `Nope`", connection, 3, -1);
    EXPECT_EQ(missing.number(), -2147217865);
    EXPECT_EQ(missing.description(), "The Microsoft Jet database engine cannot find the input table or query 'Nope'.  "
                                     "Make sure it exists and that its name is spelled correctly.");
    const Status syntax = connection.Execute("INSERT INTO `Table1` VALUES('a' 'b');");
    EXPECT_EQ(syntax.number(), -2147217900);
}

} // namespace
