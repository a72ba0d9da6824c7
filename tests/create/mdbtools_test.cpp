// New databases read by mdbtools, an independent reader: empty, then with a table and rows.

#include "create_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace storage {
namespace {

using create_test::runCommand;
using create_test::shellQuote;

std::string run(const std::string& command) {
    std::string output;
    EXPECT_TRUE(runCommand(command + " 2>&1", output)) << command << "\n" << output;
    return output;
}

TEST(Mdbtools, ReadsEveryNewDatabaseAndWhatASessionWroteIntoIt) {
    if (!create_test::haveMdbtools())
        GTEST_SKIP() << "mdbtools not installed";
    const std::string jetTables = "MSysObjects MSysACEs MSysQueries MSysRelationships ";
    const std::string aceTables =
        jetTables + "MSysComplexColumns MSysComplexType_UnsignedByte MSysComplexType_Short MSysComplexType_Long "
                    "MSysComplexType_IEEESingle MSysComplexType_IEEEDouble MSysComplexType_GUID "
                    "MSysComplexType_Decimal MSysComplexType_Text MSysComplexType_Attachment ";
    testsupport::TempDir dir;
    for (const auto& format : create_test::formatCases()) {
        SCOPED_TRACE(format.name);
        const std::string path = create_test::createIn(dir, format);
        const std::string quoted = shellQuote(path);
        EXPECT_EQ(run("mdb-ver " + quoted), std::string(format.mdbVersion) + "\n");
        EXPECT_EQ(run("mdb-tables -S " + quoted), (format.format == FileFormat::Jet4 ? jetTables : aceTables) + "\n");
        EXPECT_EQ(run("mdb-tables " + quoted), "\n");
        // The engine's rows, as mdbtools decodes them.
        const std::string entries = run("mdb-export " + quoted + " MSysACEs");
        EXPECT_EQ(std::count(entries.begin(), entries.end(), '\n'), 1 + (format.format == FileFormat::Jet4 ? 16 : 36));
        EXPECT_EQ(run("mdb-schema " + quoted + " access").find("CREATE TABLE"), std::string::npos);

        create_test::addStockTable(path);
        EXPECT_EQ(run("mdb-tables -1 " + quoted), "Stock\n");
        EXPECT_EQ(run("mdb-export " + quoted + " Stock"), "Item,Count\n\"Nails\",\"200\"\n\"Café crème\",\n");
        const std::string schema = run("mdb-schema " + quoted + " access");
        EXPECT_NE(schema.find("CREATE TABLE [Stock]"), std::string::npos) << schema;
        EXPECT_NE(schema.find("[Count]\t\t\tText (10)"), std::string::npos) << schema;
    }
}

// An .mdb made with RC4 page encoding and written into: mdbtools decodes it.
TEST(Mdbtools, ReadsAnEncodedDatabaseAndWhatASessionWroteIntoIt) {
    if (!testsupport::haveMdbtools())
        GTEST_SKIP() << "mdbtools not installed";
    testsupport::TempDir dir;
    const std::string path = dir.file("encoded.mdb");
    EXPECT_EQ(run(std::string(TARNWICK_CLI) + " new-database " + shellQuote(path) + " --encode"), "");
    create_test::addStockTable(path);
    const std::string quoted = shellQuote(path);
    EXPECT_EQ(run("mdb-tables -1 " + quoted), "Stock\n");
    EXPECT_EQ(run("mdb-export " + quoted + " Stock"), "Item,Count\n\"Nails\",\"200\"\n\"Café crème\",\n");
    EXPECT_FALSE(testsupport::holdsText(testsupport::readFile(path), "Nails"));
}

} // namespace
} // namespace storage
