// The full check against Access's own files, and against copies damaged in the ways a
// faulty writer would damage them: each damage must show as a fault at its page.

#include "check_test_support.h"
#include "database/storage/check/database_check.h"
#include "database/storage/check/index_entries_check.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/file/memory_file.h"
#include "database/storage/sql/parser.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/table/usage_map.h"
#include "database/storage/write/index_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace checktest {
namespace {

namespace fs = std::filesystem;
using storage::check::CheckReport;
using storage::check::Finding;

constexpr uint32_t kPage = 4096;

std::string listed(const CheckReport& report) {
    std::string text;
    for (const Finding& finding : report.findings)
        if (finding.kind != Finding::Kind::Leak)
            text += "\n  " + storage::check::describe(finding);
    return text;
}

bool hasFault(const CheckReport& report, uint32_t page, const std::string& words) {
    for (const Finding& finding : report.faults())
        if (finding.page == page && finding.description.find(words) != std::string::npos)
            return true;
    return false;
}

// What Access itself leaves: row counts in the table definition that it did not bring up
// to date. The check warns of them; they are no faults.
const std::map<std::string, std::vector<std::string>>& accessOddities() {
    static const std::map<std::string, std::vector<std::string>> oddities = {
        {"ace14/calcFieldTestV2010.accdb",
         {"warning, page 86, 'Table1': the definition counts 3 rows, the table has 4"}},
        {"jet4/queryTestV2003.mdb",
         {"warning, page 4, 'MSysQueries': the definition counts 82 rows, the table has 90"}},
        {"jet4/testV2000.mdb", {"warning, page 3, 'MSysACEs': the definition counts 61 rows, the table has 64"}},
    };
    return oddities;
}

TEST(DatabaseCheck, AccessFilesHaveNoFaultsButTheirStaleRowCounts) {
    if (fixturePath("jet4").empty())
        GTEST_SKIP() << "no fixture folder";
    int checked = 0;
    for (const auto& entry : fs::recursive_directory_iterator(TARNWICK_FIXTURES_DIR)) {
        const std::string relative = fs::relative(entry.path(), TARNWICK_FIXTURES_DIR).generic_string();
        const std::string extension = entry.path().extension().string();
        if (extension != ".mdb" && extension != ".accdb")
            continue;
        // Jet 3 and encrypted ACCDB files do not open in this engine at all.
        if (relative.starts_with("jet3/") || (relative.starts_with("encrypted/") && extension == ".accdb"))
            continue;
        SCOPED_TRACE(relative);
        const CheckResult result =
            checkFile(entry.path().string(), relative == "encrypted/password-database.mdb" ? "abcd1234" : "");
        ASSERT_TRUE(result.opened) << result.openError;
        const auto oddity = accessOddities().find(relative);
        EXPECT_EQ(faultTexts(result.report),
                  oddity == accessOddities().end() ? std::vector<std::string>() : oddity->second)
            << listed(result.report);
        ++checked;
    }
    EXPECT_EQ(checked, 34);
}

// Pages that Access marks used and nothing names are leaks, told apart from the faults:
// testV2000.mdb holds hundreds of long-value pages no table refers to any more.
TEST(DatabaseCheck, AccessLeavesLeakedPagesThatAreNotFaults) {
    const std::string path = fixturePath("jet4/testV2000.mdb");
    if (path.empty())
        GTEST_SKIP() << "no fixture folder";
    const CheckResult result = checkFile(path);
    ASSERT_TRUE(result.opened);
    EXPECT_EQ(result.report.leakedPages.size(), 693u);
    EXPECT_TRUE(result.report.faults().empty());
    EXPECT_EQ(result.report.warnings().size(), 1u);
}

// A fixture in memory, to damage and check.
class DamagedCopy {
public:
    explicit DamagedCopy(const std::string& fixture, bool isPath = false) {
        const std::string text = testsupport::readFile(isPath ? fixture : fixturePath(fixture));
        m_bytes.assign(text.begin(), text.end());
    }
    uint8_t* page(uint32_t number) { return m_bytes.data() + std::size_t{number} * kPage; }
    std::vector<uint8_t>& bytes() { return m_bytes; }
    CheckReport check() const {
        auto database = storage::Database::open(std::make_unique<storage::MemoryFile>(m_bytes), "copy.mdb", {});
        EXPECT_TRUE(database) << database.error().description;
        return database ? storage::check::checkDatabase(**database) : CheckReport{};
    }
    storage::TableDefinition definition(uint32_t firstPage) {
        auto database = storage::Database::open(std::make_unique<storage::MemoryFile>(m_bytes), "copy.mdb", {});
        return *storage::readTableDefinition((*database)->pages(), firstPage);
    }
    storage::IndexPage indexPage(uint32_t number) {
        return *storage::parseIndexPage(std::span<const uint8_t>(page(number), kPage), number);
    }
    void writeIndexPage(uint32_t number, const storage::IndexPage& content) {
        auto bytes = storage::serializeIndexPage(content);
        ASSERT_TRUE(bytes);
        std::copy(bytes->begin(), bytes->end(), page(number));
    }
    // Flips the bit of `target` in the inline usage map stored at `where`.
    void flipMapBit(storage::RowPointer where, uint32_t target) {
        uint8_t* holder = page(where.page);
        const std::size_t row =
            storage::readU16(std::span<const uint8_t>(holder, kPage), 0x0E + 2u * where.row) & 0x1FFF;
        ASSERT_EQ(holder[row], 0) << "not an inline map";
        const uint32_t start = storage::readU32(std::span<const uint8_t>(holder, kPage), row + 1);
        const uint32_t bit = target - start;
        holder[row + 5 + bit / 8] ^= static_cast<uint8_t>(1u << (bit % 8));
    }

private:
    std::vector<uint8_t> m_bytes;
};

// compIndexTestV2003.mdb, Table1: definition on page 15, 512 rows; its Long index is a
// node page (29) with one entry for leaf 32 (almost all entries) and leaf 33 (two) as its
// child tail.
constexpr uint32_t kTable = 15, kNode = 29, kFirstLeaf = 32, kLastLeaf = 33;

class DamagedIndex : public ::testing::Test {
protected:
    void SetUp() override {
        if (fixturePath("jet4/compIndexTestV2003.mdb").empty())
            GTEST_SKIP() << "no fixture folder";
        copy.emplace("jet4/compIndexTestV2003.mdb");
        ASSERT_EQ(copy->indexPage(kNode).childTail, kLastLeaf);
        ASSERT_GT(copy->indexPage(kFirstLeaf).entries.size(), 100u);
        ASSERT_FALSE(copy->check().hasFaults()) << listed(copy->check());
    }
    std::optional<DamagedCopy> copy;
};

// An import into the table refuses to write through the damaged page, names the check,
// and leaves the file as it was.
TEST_F(DamagedIndex, AnImportIntoTheTableRefusesToWriteAndNamesTheCheck) {
    if (!std::filesystem::exists(TARNWICK_CLI))
        GTEST_SKIP() << "tarnwick-cli not built";
    copy->page(kNode)[4] ^= 0x01; // the node page now names another table as its owner
    testsupport::TempDir folder;
    const std::string path = folder.file("damaged.mdb");
    testsupport::writeFile(path, std::string(copy->bytes().begin(), copy->bytes().end()));
    const std::string input = folder.file("rows.txt");
    testsupport::writeFile(input, "99999,abc,def\n");
    std::string output;
    EXPECT_FALSE(testsupport::runCommand(std::string(TARNWICK_CLI) + " import " + testsupport::shellQuote(path) +
                                             " --separator , --append Table1 " + testsupport::shellQuote(input) +
                                             " 2>&1",
                                         output));
    EXPECT_NE(output.find("index page of another table"), std::string::npos) << output;
    EXPECT_NE(output.find("Run 'tarnwick-cli check " + path + "'"), std::string::npos) << output;
    EXPECT_EQ(testsupport::readFile(path), std::string(copy->bytes().begin(), copy->bytes().end()));
}

TEST_F(DamagedIndex, AKeyThatIsNotTheRowsIsAFaultAtItsLeaf) {
    storage::IndexPage leaf = copy->indexPage(kFirstLeaf);
    leaf.entries[3].key.back() ^= 0x01;
    copy->writeIndexPage(kFirstLeaf, leaf);
    EXPECT_TRUE(hasFault(copy->check(), kFirstLeaf, "the row's values give")) << listed(copy->check());
}

TEST_F(DamagedIndex, EntriesOutOfOrderAreAFault) {
    storage::IndexPage leaf = copy->indexPage(kFirstLeaf);
    std::swap(leaf.entries[1], leaf.entries[2]);
    copy->writeIndexPage(kFirstLeaf, leaf);
    EXPECT_TRUE(hasFault(copy->check(), kFirstLeaf, "does not sort after")) << listed(copy->check());
}

TEST_F(DamagedIndex, AnEntryForNoRowAndARowWithoutEntryAreFaults) {
    storage::IndexPage leaf = copy->indexPage(kFirstLeaf);
    const storage::IndexEntry moved = leaf.entries[0];
    leaf.entries[0].row = 250; // no such row on that page
    copy->writeIndexPage(kFirstLeaf, leaf);
    const CheckReport report = copy->check();
    EXPECT_TRUE(hasFault(report, kFirstLeaf, "which is not a live row")) << listed(report);
    EXPECT_TRUE(hasFault(report, moved.page,
                         "row " + std::to_string(moved.page) + ":" + std::to_string(moved.row) + " has no entry"))
        << listed(report);
}

TEST_F(DamagedIndex, ANodeEntryThatIsNotItsChildsLastEntryIsAFault) {
    storage::IndexPage node = copy->indexPage(kNode);
    node.entries[0].row ^= 0x01;
    copy->writeIndexPage(kNode, node);
    EXPECT_TRUE(hasFault(copy->check(), kNode, "differs from the child's last entry")) << listed(copy->check());
}

TEST_F(DamagedIndex, TheChildTailRuleIsKept) {
    storage::IndexPage node = copy->indexPage(kNode);
    storage::IndexEntry last = copy->indexPage(kLastLeaf).entries.back();
    last.child = kLastLeaf;
    node.entries.push_back(last); // two children, both as entries
    node.childTail = 0;
    copy->writeIndexPage(kNode, node);
    EXPECT_TRUE(hasFault(copy->check(), kNode, "has no child tail")) << listed(copy->check());
}

TEST_F(DamagedIndex, AnIndexPageOutOfTheTreeAndItsRowsAreFaults) {
    storage::IndexPage node = copy->indexPage(kNode);
    node.childTail = 0; // leaf 33 drops out of the tree
    copy->writeIndexPage(kNode, node);
    const CheckReport report = copy->check();
    EXPECT_TRUE(hasFault(report, kLastLeaf, "not in its B-tree")) << listed(report);
    EXPECT_FALSE(report.faults().empty() ||
                 !hasFault(report, copy->indexPage(kLastLeaf).entries[0].page, "has no entry"));
}

TEST_F(DamagedIndex, ABrokenLeafChainIsAFault) {
    storage::IndexPage leaf = copy->indexPage(kFirstLeaf);
    leaf.next = 0;
    copy->writeIndexPage(kFirstLeaf, leaf);
    EXPECT_TRUE(hasFault(copy->check(), kFirstLeaf, "the tree order gives 0 and 33")) << listed(copy->check());
}

TEST_F(DamagedIndex, WrongFreeSpaceOnAnIndexPageIsAFault) {
    copy->page(kFirstLeaf)[2] ^= 0x10;
    EXPECT_TRUE(hasFault(copy->check(), kFirstLeaf, "free space")) << listed(copy->check());
}

class DamagedTable : public DamagedIndex {};

// Access leaves such counts itself: a warning, not a fault.
TEST_F(DamagedTable, ARowCountThatIsNotTheRowsIsAWarning) {
    copy->page(kTable)[0x10] ^= 0x01; // 512 -> 513
    const CheckReport report = copy->check();
    EXPECT_FALSE(report.hasFaults()) << listed(report);
    EXPECT_EQ(faultTexts(report),
              std::vector<std::string>{"warning, page 15, 'Table1': the definition counts 513 rows, "
                                       "the table has 512"});
}

TEST_F(DamagedTable, APageInUseMarkedFreeIsAFault) {
    const uint32_t dataPage = copy->indexPage(kFirstLeaf).entries[0].page;
    copy->flipMapBit({1, 0}, dataPage);
    EXPECT_TRUE(hasFault(copy->check(), dataPage, "marked free in the global usage map")) << listed(copy->check());
}

TEST_F(DamagedTable, APageOfTwoOwnersIsAFault) {
    const storage::TableDefinition def = copy->definition(kTable);
    copy->flipMapBit(def.ownedPages, kLastLeaf); // the table claims an index page as a data page
    const CheckReport report = copy->check();
    EXPECT_TRUE(hasFault(report, kLastLeaf, "not a data page of this table")) << listed(report);
    EXPECT_TRUE(hasFault(report, kLastLeaf, "belongs to data of 'Table1'")) << listed(report);
}

TEST_F(DamagedTable, FreeSpaceThatOverlapsTheRowsIsAFault) {
    const uint32_t dataPage = copy->indexPage(kFirstLeaf).entries[0].page;
    copy->page(dataPage)[2] = 0xF2; // free space 4082: as if the page were empty
    copy->page(dataPage)[3] = 0x0F;
    EXPECT_TRUE(hasFault(copy->check(), dataPage, "bytes between the row offsets and the rows"))
        << listed(copy->check());
}

TEST_F(DamagedTable, APageMarkedUsedThatNothingNamesIsALeakNotAFault) {
    const uint32_t extra = static_cast<uint32_t>(copy->bytes().size() / kPage);
    copy->bytes().resize(copy->bytes().size() + kPage, 0);
    copy->flipMapBit({1, 0}, extra); // free beyond the end so far: now used
    const CheckReport report = copy->check();
    EXPECT_FALSE(report.hasFaults()) << listed(report);
    EXPECT_EQ(report.leakedPages, std::vector<uint32_t>{extra});
}

TEST(IndexEntries, EachIndexedRowHasOneEntryAndUniqueKeysAreUnique) {
    using storage::check::ExpectedEntry;
    using storage::check::LeafEntry;
    const std::vector<uint8_t> one{0x7F, 0x01}, two{0x7F, 0x02}, null{0x00};
    const std::vector<ExpectedEntry> rows = {
        {{7, 0}, true, false, one},         {{7, 1}, true, false, one}, // the same key as 7:0
        {{7, 2}, false, true, null},                                    // all Null, left out by an ignore-nulls index
        {{7, 3}, true, false, two},                                     // its entry is missing
        {{7, 4}, true, true, std::nullopt},                             // key unknown: only its presence counts
    };
    const auto entry = [](const std::vector<uint8_t>& key, uint8_t row) { return LeafEntry{{key, 7, row, 0}, 40}; };
    const std::vector<LeafEntry> entries = {entry(null, 2), entry(null, 4), entry(one, 0),
                                            entry(one, 1),  entry(one, 1),  entry(two, 9)};
    storage::check::FindingCollector collector;
    storage::check::compareIndexEntries(entries, rows, true, "'T' index 0", collector);
    const std::vector<std::string> faults = faultTexts(collector.finish());
    const std::vector<std::string> expected = {
        "fault, page 40, 'T' index 0: entry for row 7:2, whose key columns are all Null, in an index that ignores "
        "Nulls",
        "fault, page 40, 'T' index 0: a second entry for row 7:1",
        "fault, page 40, 'T' index 0: entry for row 7:9, which is not a live row of the table",
        "fault, page 7, 'T' index 0: row 7:3 has no entry",
        "fault, page 40, 'T' index 0: unique index holds key 7F 01 twice, for row 7:0 and row 7:1",
        "fault, page 40, 'T' index 0: unique index holds key 7F 01 twice, for row 7:1 and row 7:1",
    };
    EXPECT_EQ(faults, expected);
}

// A table this engine wrote passes; its long values must stay on its column's pages.
TEST(DatabaseCheck, ALongValueOffItsColumnsMapIsAFault) {
    if (fixturePath("jet4/empty.mdb").empty())
        GTEST_SKIP() << "no fixture folder";
    testsupport::TempDir folder;
    const std::string path = copyFixture("jet4/empty.mdb", folder, "db.mdb");
    {
        auto session = storage::DatabaseSession::open(path, {}, storage::DatabaseSession::Access::ReadWrite);
        ASSERT_TRUE(session);
        for (const std::string& sql : std::vector<std::string>{
                 "CREATE TABLE `T`(`N` LONG, `M` MEMO)", "INSERT INTO `T` VALUES(1, '" + std::string(5000, 'm') + "')"})
            ASSERT_TRUE((*session)->execute(*storage::sql::parse(sql))) << sql;
    }
    DamagedCopy copy(path, true);
    const CheckReport written = copy.check();
    ASSERT_EQ(faultTexts(written), std::vector<std::string>());
    ASSERT_TRUE(written.leakedPages.empty());

    auto database = storage::Database::open(path, {});
    const storage::TableDefinition def =
        copy.definition(static_cast<uint32_t>((*database)->catalog().findInTables("T")->id));
    ASSERT_EQ(def.columnUsageMaps.size(), 1u);
    auto longPages = storage::readUsageMap((*database)->pages(), def.columnUsageMaps[0].ownedPages);
    ASSERT_TRUE(longPages && !longPages->pages.empty()) << "the value is not on long-value pages";
    const uint32_t longPage = longPages->pages[0];
    copy.flipMapBit(def.columnUsageMaps[0].ownedPages, longPage);
    copy.flipMapBit(def.columnUsageMaps[0].freePages, longPage);
    const CheckReport damaged = copy.check();
    EXPECT_TRUE(hasFault(damaged, longPage, "lies on a page outside the column's map")) << listed(damaged);
}

} // namespace
} // namespace checktest
