// A new database against the empty database Access (Jet 4: the Jet engine alone)
// made in the same format: header, system-table definitions, catalogue and access rows.

#include "create_test_support.h"

#include "database/storage/format/rc4.h"
#include "database/storage/format/text_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

namespace storage {
namespace {

using create_test::formatCases;

std::vector<std::string> allSystemTables(FileFormat format) {
    std::vector<std::string> names{"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"};
    if (format != FileFormat::Jet4)
        for (const char* suffix :
             {"UnsignedByte", "Short", "Long", "IEEESingle", "IEEEDouble", "GUID", "Decimal", "Text", "Attachment"})
            names.push_back(std::string("MSysComplexType_") + suffix);
    if (format != FileFormat::Jet4)
        names.push_back("MSysComplexColumns");
    return names;
}

// Column names in the order of the stored descriptors, which the reader sorts by number.
std::vector<std::string> descriptorOrder(Database& database, uint32_t page) {
    auto bytes = database.pages().page(page);
    EXPECT_TRUE(bytes);
    const Bytes b = **bytes;
    std::size_t at = 0x3F + 12 * readU32(b, 0x33) + 25 * std::size_t{readU16(b, 0x2D)};
    std::vector<std::string> names;
    for (uint16_t i = 0; i < readU16(b, 0x2D); ++i) {
        names.push_back(utf16leToUtf8(b.subspan(at + 2, readU16(b, at))));
        at += 2 + readU16(b, at);
    }
    return names;
}

// What the definition says apart from where its pages and maps are and what its rows count.
std::string describe(Database& database, const CatalogEntry& entry) {
    auto def = readTableDefinition(database.pages(), static_cast<uint32_t>(entry.id));
    EXPECT_TRUE(def);
    std::ostringstream out;
    out << "type " << def->tableType << " slots " << def->maxColumns << "/" << def->variableColumns << " flags "
        << std::hex << entry.flags << std::dec << "\n";
    for (const ColumnDefinition& c : def->columns)
        out << c.name << " type " << int(c.typeCode) << " number " << c.number << " var " << c.varIndex << " fixed "
            << (c.isFixed() ? c.fixedOffset : 0) << " length " << c.length << " flags " << int(c.flags) << "/"
            << int(c.extendedFlags) << " decimal " << int(c.precision) << "," << int(c.scale) << " sort " << c.sortOrder
            << "v" << int(c.sortOrderVersion) << "\n";
    out << "descriptors:";
    for (const std::string& name : descriptorOrder(database, static_cast<uint32_t>(entry.id)))
        out << " " << name;
    out << "\n";
    for (const RealIndex& index : def->realIndexes) {
        out << "real flags " << int(index.flags) << ":";
        for (const IndexColumn& column : index.columns)
            out << " " << column.columnNumber << (column.ascending ? "+" : "-");
        out << "\n";
    }
    for (const LogicalIndex& index : def->logicalIndexes)
        out << "logical " << index.name << " " << index.number << " real " << index.realIndex << " kind "
            << int(index.kind) << " fk " << int(index.foreignKeyRole) << " " << index.relatedIndex << " "
            << index.relatedTablePage << " " << int(index.cascadeUpdates) << " " << int(index.cascadeDeletes) << "\n";
    out << "long-value maps for:";
    for (const ColumnUsageMaps& maps : def->columnUsageMaps)
        out << " " << maps.columnNumber;
    return out.str();
}

struct Rows {
    std::vector<std::string> objects; // Id, ParentId, Name, Type, Flags, owner as an account letter
    std::vector<std::string> entries; // ObjectId, account letter, ACM, FInheritable
};

// Accounts differ from file to file; each is named by the order it first appears in.
Rows engineRows(Database& database, std::size_t objectCount) {
    std::map<BinaryValue, char> accounts;
    auto account = [&](const Value& value) -> std::string {
        const BinaryValue* sid = value.get<BinaryValue>();
        if (!sid)
            return "-";
        return std::string(1, accounts.emplace(*sid, static_cast<char>('A' + accounts.size())).first->second);
    };
    Rows rows;
    std::set<int32_t> ids;
    auto objects = database.openTable("MSysObjects");
    EXPECT_TRUE(objects);
    for (Row row; objects->next(row) && rows.objects.size() < objectCount;) {
        ids.insert(*row[0].get<int32_t>());
        rows.objects.push_back(formatValue(row[0]) + " " + formatValue(row[1]) + " " + formatValue(row[2]) + " " +
                               formatValue(row[3]) + " " + formatValue(row[7]) + " " + account(row[6]));
    }
    auto entries = database.openTable("MSysACEs");
    EXPECT_TRUE(entries);
    for (Row row; entries->next(row);) {
        const BinaryValue* sid = row[1].get<BinaryValue>();
        // Access adds a workgroup account (a long SID) beside the engine's own.
        if (ids.count(*row[0].get<int32_t>()) && sid && sid->size() == 2)
            rows.entries.push_back(formatValue(row[0]) + " " + account(row[1]) + " " + formatValue(row[2]) + " " +
                                   formatValue(row[3]));
    }
    return rows;
}

std::vector<uint8_t> unmaskedHeader(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> page(4096);
    in.read(reinterpret_cast<char*>(page.data()), 4096);
    static constexpr uint8_t kKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
    Rc4 mask(kKey);
    mask.apply(std::span<uint8_t>(page.data() + 0x18, 128));
    return page;
}

class AgainstAccess : public ::testing::TestWithParam<create_test::FormatCase> {
protected:
    void SetUp() override {
        fixture = create_test::fixturePath(GetParam().accessFixture);
        if (fixture.empty())
            GTEST_SKIP() << "fixture folder not found";
        ours = create_test::createIn(dir, GetParam());
    }
    testsupport::TempDir dir;
    std::string fixture, ours;
};

TEST_P(AgainstAccess, SystemTablesAreDefinedAsAccessDefinesThem) {
    auto theirs = Database::open(fixture, OpenOptions{});
    auto mine = Database::open(ours, OpenOptions{});
    ASSERT_TRUE(theirs && mine);
    for (const std::string& name : allSystemTables(GetParam().format)) {
        SCOPED_TRACE(name);
        const CatalogEntry* theirEntry = (*theirs)->catalog().findInTables(name);
        const CatalogEntry* myEntry = (*mine)->catalog().findInTables(name);
        ASSERT_TRUE(theirEntry && myEntry);
        EXPECT_EQ(myEntry->id, theirEntry->id); // the same definition pages
        EXPECT_EQ(describe(**mine, *myEntry), describe(**theirs, *theirEntry));
    }
}

TEST_P(AgainstAccess, EngineRowsMatchThoseOfTheEngineOnlyDatabase) {
    const std::string engineOnly = create_test::fixturePath("jet4/adox_jet4.mdb");
    auto theirs = Database::open(engineOnly, OpenOptions{});
    auto mine = Database::open(ours, OpenOptions{});
    ASSERT_TRUE(theirs && mine);
    const Rows expected = engineRows(**theirs, 8);
    const Rows actual = engineRows(**mine, 8);
    EXPECT_EQ(actual.objects, expected.objects);
    EXPECT_EQ(actual.entries, expected.entries);
}

// The rights of each ACE table's engine accounts (Access adds a workgroup account's).
std::map<int32_t, std::multiset<std::string>> aceTableRights(Database& database) {
    std::map<int32_t, std::multiset<std::string>> rights;
    auto entries = database.openTable("MSysACEs");
    EXPECT_TRUE(entries);
    for (Row row; entries->next(row);) {
        const int32_t id = *row[0].get<int32_t>();
        const BinaryValue* sid = row[1].get<BinaryValue>();
        if (id >= 18 && id < 41 && sid && sid->size() == 2)
            rights[id].insert(formatValue(row[2]) + " " + formatValue(row[3]));
    }
    return rights;
}

TEST_P(AgainstAccess, AceTablesHaveTheCatalogueRowsAndRightsAccessGivesThem) {
    if (GetParam().format == FileFormat::Jet4)
        GTEST_SKIP() << "Jet 4 has no ACE tables";
    auto theirs = Database::open(fixture, OpenOptions{});
    auto mine = Database::open(ours, OpenOptions{});
    ASSERT_TRUE(theirs && mine);
    std::vector<std::string> expected, actual;
    for (const auto& [database, out] : {std::pair{theirs->get(), &expected}, std::pair{mine->get(), &actual}})
        for (const CatalogEntry& entry : database->catalog().entries())
            if (entry.name.rfind("MSysComplex", 0) == 0)
                out->push_back(entry.name + " " + std::to_string(entry.id) + " " + std::to_string(entry.parentId) +
                               " " + std::to_string(entry.type) + " " + std::to_string(entry.flags));
    EXPECT_EQ(actual, expected);
    EXPECT_EQ(actual.size(), 10u);
    const auto rights = aceTableRights(**mine);
    EXPECT_EQ(rights.size(), 10u);
    EXPECT_EQ(rights, aceTableRights(**theirs));
}

TEST_P(AgainstAccess, HeaderHoldsWhatAccessWritesApartFromDateAndPassword) {
    std::vector<uint8_t> theirs = unmaskedHeader(fixture), mine = unmaskedHeader(ours);
    // Creation date and the password area it masks; the first user slot pairs, which vary between files.
    auto blank = [](std::vector<uint8_t>& page) {
        std::fill(page.begin() + 0x42, page.begin() + 0x6A, 0);
        std::fill(page.begin() + 0x72, page.begin() + 0x7A, 0);
        std::fill(page.begin() + 0xE00, page.begin() + 0xE04, 0);
    };
    blank(theirs);
    blank(mine);
    EXPECT_EQ(mine, theirs);
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, AgainstAccess, ::testing::ValuesIn(formatCases()),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(AgainstAccess, Jet4PagesAreLaidOutAsTheEngineLaysThemOut) {
    const std::string engineOnly = create_test::fixturePath("jet4/adox_jet4.mdb");
    if (engineOnly.empty())
        GTEST_SKIP() << "fixture folder not found";
    testsupport::TempDir dir;
    const std::string ours = create_test::createIn(dir, formatCases().front());
    auto read = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    };
    const std::vector<uint8_t> theirs = read(engineOnly), mine = read(ours);
    ASSERT_EQ(mine.size(), theirs.size());
    // The global usage map, the page of usage maps and the index pages, keys and all, are
    // identical; the others differ in dates, accounts and bytes Access leaves uninitialised.
    for (uint32_t page : {1u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u})
        EXPECT_TRUE(
            std::equal(mine.begin() + page * 4096, mine.begin() + (page + 1) * 4096, theirs.begin() + page * 4096))
            << "page " << page;
}

} // namespace
} // namespace storage
