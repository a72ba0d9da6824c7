#include "database/dataaccess/connection.h"
#include "database/dataaccess/recordset.h"
#include "support/recording_provider.h"

#include <gtest/gtest.h>

using namespace dataaccess;

namespace {

class ConnectionTest : public ::testing::Test {
protected:
    testsupport::RecordingLog log;
    ProviderRegistry providers = testsupport::RecordingProvider::registry(log);
};

TEST_F(ConnectionTest, PicksTheProviderByNameInAnyCase) {
    for (const char* provider : {"Microsoft.ACE.OLEDB.12.0", "microsoft.jet.oledb.4.0", "MICROSOFT.ACE.OLEDB.12.0"}) {
        SCOPED_TRACE(provider);
        Connection connection(providers);
        EXPECT_TRUE(connection.Open(std::string("Provider=") + provider + ";Data Source=/a.mdb"));
        EXPECT_EQ(connection.State(), objectstate::kOpen);
    }
}

TEST_F(ConnectionTest, UnknownProviderFailsWithTheComponentsOwnError) {
    Connection connection(providers);
    const Status status = connection.Open("Provider=Microsoft.ACE.OLEDB.16.0;Data Source=/a.accdb");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.number(), -2146824582); // 0x800A0E7A, ADO error 3706
    EXPECT_EQ(status.description(), "Provider cannot be found. It may not be properly installed.");
    EXPECT_EQ(connection.State(), objectstate::kClosed);
    EXPECT_TRUE(log.opens.empty());
}

TEST_F(ConnectionTest, ProviderFailureLeavesTheConnectionClosed) {
    log.openFailure = Error{-2147217843, "Not a valid password."};
    Connection connection(providers);
    const Status status = connection.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a.mdb");
    EXPECT_EQ(status.number(), -2147217843);
    EXPECT_EQ(status.description(), "Not a valid password.");
    EXPECT_EQ(connection.State(), objectstate::kClosed);
    EXPECT_FALSE(connection.Execute("INSERT INTO `T` VALUES('a');"));
}

TEST_F(ConnectionTest, ModeReachesTheProviderAndIsFixedWhileOpen) {
    Connection connection(providers);
    EXPECT_TRUE(connection.setMode(connectmode::kReadWrite));
    ASSERT_TRUE(connection.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a.mdb"));
    EXPECT_EQ(log.openModes.back(), connectmode::kReadWrite);
    EXPECT_FALSE(connection.setMode(connectmode::kRead));
    EXPECT_FALSE(connection.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/a.mdb")) << "already open";
    EXPECT_TRUE(connection.Close());
    EXPECT_TRUE(connection.Close());
    EXPECT_EQ(log.closes, 1);
    EXPECT_TRUE(connection.setMode(connectmode::kRead));
}

TEST_F(ConnectionTest, SchemaRowsetDeliversTypeAndNameUntilEof) {
    log.tables = {{"MSysObjects", "SYSTEM TABLE"}, {"Orders", "TABLE"}};
    Connection connection(providers);
    ASSERT_TRUE(connection.Open("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=/a.accdb"));
    Recordset rowset;
    EXPECT_FALSE(connection.OpenSchema(4, rowset)) << "only the tables rowset is offered";
    ASSERT_TRUE(connection.OpenSchema(kSchemaTables, rowset));
    std::vector<std::string> seen;
    while (!rowset.Eof()) {
        std::optional<std::string> name, type;
        ASSERT_TRUE(rowset.Value("TABLE_NAME", name));
        ASSERT_TRUE(rowset.Value("table_type", type));
        seen.push_back(*type + ":" + *name);
        ASSERT_TRUE(rowset.MoveNext());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"SYSTEM TABLE:MSysObjects", "TABLE:Orders"}));
    EXPECT_FALSE(rowset.MoveNext()) << "past the end";
    std::optional<std::string> value;
    EXPECT_FALSE(rowset.Value("NO_SUCH_FIELD", value));
    rowset.Close();
    EXPECT_EQ(rowset.State(), objectstate::kClosed);
}

TEST_F(ConnectionTest, RecordsetCountsColumnsAndClosesWithItsConnection) {
    log.columnCounts["Orders"] = 3;
    Connection connection(providers);
    Recordset recordset;
    EXPECT_FALSE(recordset.Open("SELECT * FROM `Orders`", connection, 3, -1)) << "connection closed";
    ASSERT_TRUE(connection.Open("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=/a.accdb"));
    ASSERT_TRUE(recordset.Open("SELECT * FROM `Orders`", connection, 3, -1));
    EXPECT_EQ(recordset.FieldsCount(), 3);
    EXPECT_FALSE(recordset.Open("SELECT * FROM `Orders`", connection, 3, -1)) << "already open";

    EXPECT_TRUE(connection.Close());
    EXPECT_EQ(recordset.State(), objectstate::kClosed);
    EXPECT_EQ(recordset.FieldsCount(), 0);

    ASSERT_TRUE(connection.Open("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=/a.accdb"));
    const Status missing = recordset.Open("SELECT * FROM `Nope`", connection, 3, -1);
    EXPECT_EQ(missing.number(), -2147217865);
}

} // namespace
