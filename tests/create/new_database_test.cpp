// New databases through our own reader, both consistency checks and a DatabaseSession writing into them.

#include "create_test_support.h"

#include "database/storage/check/database_check.h"
#include "database/storage/consistency_check.h"
#include "database/storage/create/new_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace storage {
namespace {

namespace fs = std::filesystem;
using create_test::formatCases;

std::vector<SchemaTableRow> systemTables(const std::vector<std::string>& names) {
    std::vector<SchemaTableRow> rows;
    for (const std::string& name : names)
        rows.push_back({name, "SYSTEM TABLE"});
    return rows;
}

void expectBothChecksPass(Database& database) {
    auto problems = checkConsistency(database);
    ASSERT_TRUE(problems);
    for (const ConsistencyProblem& problem : *problems)
        ADD_FAILURE() << problem.table << ": " << problem.description;
    for (const check::Finding& finding : check::checkDatabase(database).findings)
        ADD_FAILURE() << check::kindName(finding.kind) << " page " << finding.page << " " << finding.object << ": "
                      << finding.description;
}

TEST(NewDatabase, OpensEmptyWithTheSystemTablesOfItsFormatAndPassesBothChecks) {
    const std::vector<SchemaTableRow> jet =
        systemTables({"MSysACEs", "MSysObjects", "MSysQueries", "MSysRelationships"});
    const std::vector<SchemaTableRow> ace =
        systemTables({"MSysACEs", "MSysComplexColumns", "MSysComplexType_Attachment", "MSysComplexType_Decimal",
                      "MSysComplexType_GUID", "MSysComplexType_IEEEDouble", "MSysComplexType_IEEESingle",
                      "MSysComplexType_Long", "MSysComplexType_Short", "MSysComplexType_Text",
                      "MSysComplexType_UnsignedByte", "MSysObjects", "MSysQueries", "MSysRelationships"});
    testsupport::TempDir dir;
    for (const auto& format : formatCases()) {
        SCOPED_TRACE(format.name);
        const std::string path = create_test::createIn(dir, format);
        // Jet 4: the 16 pages the engine writes; ACE: 42 with the ten ACE tables.
        EXPECT_EQ(fs::file_size(path), format.format == FileFormat::Jet4 ? 16u * 4096 : 42u * 4096);

        auto database = Database::open(path, OpenOptions{});
        ASSERT_TRUE(database) << database.error().description;
        EXPECT_EQ((*database)->format(), format.format);
        EXPECT_TRUE((*database)->header().password.empty());
        EXPECT_EQ((*database)->header().databaseKey, 0u);
        EXPECT_EQ((*database)->header().codePage, 1252);
        EXPECT_EQ((*database)->header().sortOrder, 1033);
        const bool generalSortOrder = format.format == FileFormat::Ace14 || format.format == FileFormat::Ace16;
        EXPECT_EQ((*database)->header().sortOrderVersion, generalSortOrder ? 1 : 0);
        auto users = (*database)->userTables();
        ASSERT_TRUE(users);
        EXPECT_TRUE(users->empty());
        auto schema = (*database)->tablesSchema();
        ASSERT_TRUE(schema);
        EXPECT_EQ(*schema, format.format == FileFormat::Jet4 ? jet : ace);
        expectBothChecksPass(**database);
    }
}

TEST(NewDatabase, TakesNewTablesAndRowsThroughADatabaseSession) {
    testsupport::TempDir dir;
    for (const auto& format : formatCases()) {
        SCOPED_TRACE(format.name);
        const std::string path = create_test::createIn(dir, format);
        create_test::addStockTable(path);
        auto database = Database::open(path, OpenOptions{});
        ASSERT_TRUE(database);
        EXPECT_EQ(*(*database)->userTables(), std::vector<std::string>{"Stock"});
        auto stock = (*database)->openTable("stock");
        ASSERT_TRUE(stock);
        std::vector<Row> rows;
        for (Row row; stock->next(row);)
            rows.push_back(row);
        ASSERT_TRUE(stock->status());
        EXPECT_EQ(rows, (std::vector<Row>{{Value(std::string("Nails")), Value(std::string("200"))},
                                          {Value(std::string("Café crème")), Value()}}));
        expectBothChecksPass(**database);
    }
}

TEST(NewDatabase, KeepsAJet4PasswordAndEncryptsAceWithOne) {
    testsupport::TempDir dir;
    const std::string path = dir.file("locked.mdb");
    ASSERT_TRUE(createDatabase(path, {FileFormat::Jet4, "Zebra 12 ü"}));
    EXPECT_EQ(Database::open(path, OpenOptions{}).error().jetNumber, 3031);
    EXPECT_EQ(Database::open(path, OpenOptions{"zebra 12 ü"}).error().jetNumber, 3031);
    EXPECT_EQ(Database::open(path, OpenOptions{"Zebra 12"}).error().jetNumber, 3031);
    auto opened = Database::open(path, OpenOptions{"Zebra 12 ü"});
    ASSERT_TRUE(opened);
    EXPECT_EQ((*opened)->header().password, u"Zebra 12 ü");

    // Twenty characters are the most the header holds.
    EXPECT_TRUE(createDatabase(dir.file("twenty.mdb"), {FileFormat::Jet4, std::string(20, 'p')}));
    EXPECT_TRUE(Database::open(dir.file("twenty.mdb"), OpenOptions{std::string(20, 'p')}));
    EXPECT_FALSE(createDatabase(dir.file("long.mdb"), {FileFormat::Jet4, std::string(21, 'p')}));
    EXPECT_FALSE(fs::exists(dir.file("long.mdb")));
    EXPECT_FALSE(createDatabase(dir.file("long.accdb"), {FileFormat::Ace16, std::string(21, 'p')}));
    const Status encodedAce = createDatabase(dir.file("encoded.accdb"), {FileFormat::Ace16, "", true});
    ASSERT_FALSE(encodedAce);
    EXPECT_EQ(encodedAce.error().kind, ErrorKind::NotSupported);
    EXPECT_FALSE(fs::exists(dir.file("encoded.accdb")));
}

// Every scheme this engine reads, made by it: the password opens the file and nothing
// else does, a session writes into it, and no value reaches the file in clear.
TEST(NewDatabase, EncryptedWithEverySchemeTakesRowsAndHidesThem) {
    testsupport::TempDir dir;
    const struct {
        const char* name;
        FileFormat format;
        crypto::NewEncryption scheme;
    } schemes[] = {
        {"agile256.accdb", FileFormat::Ace16, crypto::NewEncryption::AgileAes256Sha512},
        {"agile128.accdb", FileFormat::Ace14, crypto::NewEncryption::AgileAes128Sha1},
        {"rc4.accdb", FileFormat::Ace12, crypto::NewEncryption::Rc4CryptoApi},
        {"standard.accdb", FileFormat::Ace14, crypto::NewEncryption::StandardAes},
        {"nonstandard.accdb", FileFormat::Ace14, crypto::NewEncryption::NonStandardAes},
        {"encoded.mdb", FileFormat::Jet4, crypto::NewEncryption::JetEncoding},
    };
    for (const auto& each : schemes) {
        SCOPED_TRACE(each.name);
        const std::string path = dir.file(each.name);
        const bool jet = each.format == FileFormat::Jet4;
        const std::string password = jet ? "" : "Zebra 12 ü";
        ASSERT_TRUE(createDatabase(path, {each.format, password, jet, each.scheme}));
        if (!jet) {
            for (const char* wrong : {"", "zebra 12 ü", "Zebra 12"})
                EXPECT_EQ(Database::open(path, OpenOptions{wrong}).error().jetNumber, 3031) << wrong;
        }
        create_test::addStockTable(path, password);
        auto database = Database::open(path, OpenOptions{password});
        ASSERT_TRUE(database) << database.error().description;
        EXPECT_EQ((*database)->header().databaseKey != 0, true);
        EXPECT_EQ(*(*database)->userTables(), std::vector<std::string>{"Stock"});
        auto stock = (*database)->openTable("Stock");
        ASSERT_TRUE(stock);
        std::vector<Row> rows;
        for (Row row; stock->next(row);)
            rows.push_back(row);
        EXPECT_EQ(rows.size(), 2u);
        expectBothChecksPass(**database);
        const std::string bytes = testsupport::readFile(path);
        for (const char* text : {"Nails", "Stock", "MSysObjects"})
            EXPECT_FALSE(testsupport::holdsText(bytes, text)) << text;
    }
}

TEST(NewDatabase, NeverReplacesAnythingAndLeavesNothingBehindWhenRefused) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("taken.accdb"), "not a database");
    fs::create_directory(dir.file("folder.mdb"));
    for (const char* name : {"taken.accdb", "folder.mdb"}) {
        const Status status = createDatabase(dir.file(name), {FileFormat::Ace16, ""});
        ASSERT_FALSE(status) << name;
        EXPECT_EQ(status.error().jetNumber, 3204);
        EXPECT_EQ(status.error().description, "Database already exists.");
    }
    EXPECT_EQ(testsupport::readFile(dir.file("taken.accdb")), "not a database");
    EXPECT_EQ(createDatabase(dir.file("missing/new.mdb"), {FileFormat::Jet4, ""}).error().jetNumber, 3044);

    std::vector<std::string> left;
    for (const auto& entry : fs::directory_iterator(dir.path()))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"folder.mdb", "taken.accdb"}));
}

} // namespace
} // namespace storage
