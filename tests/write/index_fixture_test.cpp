// Keys that Access wrote into index pages must equal the keys this engine
// computes from the rows they point to.

#include "database/storage/format/text_codec.h"
#include "database/storage/table/data_page.h"
#include "database/storage/table/row_decoder.h"
#include "database/storage/write/index_key.h"
#include "database/storage/write/index_page.h"
#include "database/storage/write/text_index_key.h"
#include "write_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <set>

namespace storage {
namespace {

using write_test::openFixture;
using write_test::toHex;

// Each Text/Memo column's sort-order version: descriptor byte 14, by column number.
IndexKeyOptions keyOptions(Database& database, const TableDefinition& def) {
    IndexKeyOptions options;
    options.format = database.format();
    const std::vector<uint8_t> buffer = write_test::definitionBuffer(database, def);
    const std::size_t first = 0x3F + 12 * def.realIndexes.size();
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const std::size_t at = first + 25 * i;
        options.sortOrderVersions[readU16(buffer, at + 5)] = readU8(buffer, at + 14);
    }
    return options;
}

struct Tally {
    std::set<std::string> sortOrders; // "legacy" / "general" for text keys seen
    int entries = 0;
    int textEntries = 0;
    int beyondLatin1 = 0; // text keys holding a character above U+00FF
    int surrogates = 0;   // text keys holding a character outside the BMP
    int refused = 0;
    int pagesRewritten = 0;
    std::vector<std::string> failures;
};

// All leaf entries of the tree under root, in leaf order; every page parsed is also rewritten.
std::vector<IndexEntry> leafEntries(Database& database, uint32_t root, Tally& tally) {
    std::vector<IndexEntry> out;
    std::deque<uint32_t> pending{root};
    std::set<uint32_t> seen;
    uint32_t firstLeaf = 0;
    while (!pending.empty()) {
        const uint32_t number = pending.front();
        pending.pop_front();
        if (!seen.insert(number).second)
            continue;
        auto bytes = database.pages().page(number);
        EXPECT_TRUE(bytes.hasValue());
        if (!bytes)
            break;
        auto page = parseIndexPage(**bytes, number);
        EXPECT_TRUE(page.hasValue()) << page.error().description;
        if (!page)
            break;
        // Serialised again with the prefix Access chose, the page must be the same bytes
        // up to the end of its entries.
        auto again = serializeIndexPageWithPrefix(*page, page->prefixLength);
        EXPECT_TRUE(again.has_value());
        if (again) {
            const std::size_t used = 4096 - readU16(**bytes, 2);
            const auto differs = std::mismatch(again->begin(), again->begin() + static_cast<std::ptrdiff_t>(used),
                                               (*bytes)->begin());
            if (differs.first != again->begin() + static_cast<std::ptrdiff_t>(used))
                tally.failures.push_back("page " + std::to_string(number) + " serialises differently from offset " +
                                         std::to_string(differs.first - again->begin()) + ": " +
                                         toHex(Bytes(**bytes).subspan(0, 0x30)));
            ++tally.pagesRewritten;
        }
        if (page->leaf) {
            if (page->previous == 0)
                firstLeaf = number;
            continue;
        }
        for (const IndexEntry& entry : page->entries)
            pending.push_back(entry.child);
        if (page->childTail != 0)
            pending.push_back(page->childTail);
    }
    // Walk the leaf level through its sibling links, as a reader of the index does.
    for (uint32_t number = firstLeaf; number != 0;) {
        auto bytes = database.pages().page(number);
        auto page = parseIndexPage(**bytes, number);
        out.insert(out.end(), page->entries.begin(), page->entries.end());
        number = page->next;
    }
    return out;
}

void checkTable(Database& database, const std::string& where, const std::string& table, Tally& tally) {
    auto cursor = database.openTable(table);
    ASSERT_TRUE(cursor.hasValue()) << where;
    const TableDefinition& def = cursor->definition();
    const IndexKeyOptions options = keyOptions(database, def);
    for (std::size_t i = 0; i < def.realIndexes.size(); ++i) {
        const RealIndex& index = def.realIndexes[i];
        const std::vector<IndexEntry> entries = leafEntries(database, index.rootPage, tally);
        for (std::size_t e = 0; e + 1 < entries.size(); ++e)
            if (indexEntryLess(entries[e + 1], entries[e]))
                tally.failures.push_back(where + " index " + std::to_string(i) + ": entries out of order");
        const bool textKey = std::any_of(index.columns.begin(), index.columns.end(), [&](const IndexColumn& c) {
            const auto column = std::find_if(def.columns.begin(), def.columns.end(),
                                             [&](const ColumnDefinition& d) { return d.number == c.columnNumber; });
            return column != def.columns.end() &&
                   (column->type() == ColumnType::Text || column->type() == ColumnType::Memo);
        });
        for (const IndexEntry& entry : entries) {
            auto row = readRowAt(database.pages(), {entry.page, entry.row}, def.firstPage);
            ASSERT_TRUE(row.hasValue()) << row.error().description;
            std::vector<Value> values;
            ASSERT_TRUE(decodeRow(database.pages(), def, row->bytes, {entry.page, 0}, values).isOk());
            auto key = encodeIndexKey(def, index, values, options);
            if (!key) {
                ASSERT_EQ(key.error().kind, ErrorKind::NotSupported) << key.error().description;
                ++tally.refused;
                continue;
            }
            ++tally.entries;
            if (textKey) {
                ++tally.textEntries;
                bool beyondLatin1 = false;
                bool surrogate = false;
                for (const IndexColumn& c : index.columns) {
                    const auto column =
                        std::find_if(def.columns.begin(), def.columns.end(),
                                     [&](const ColumnDefinition& d) { return d.number == c.columnNumber; });
                    if (column->type() != ColumnType::Text && column->type() != ColumnType::Memo)
                        continue;
                    tally.sortOrders.insert(options.sortOrderVersions.at(column->number) ? "general" : "legacy");
                    if (const auto* text =
                            values[static_cast<std::size_t>(column - def.columns.begin())].get<std::string>())
                        for (char16_t unit : utf8ToUtf16(*text)) {
                            beyondLatin1 = beyondLatin1 || unit > 0xFF;
                            surrogate = surrogate || (unit >= 0xD800 && unit <= 0xDFFF);
                        }
                }
                tally.beyondLatin1 += beyondLatin1 ? 1 : 0;
                tally.surrogates += surrogate ? 1 : 0;
            }
            if (*key != entry.key)
                tally.failures.push_back(where + " index " + std::to_string(i) + " row " + std::to_string(entry.page) +
                                         ":" + std::to_string(entry.row) + "\n  stored  " + toHex(entry.key) +
                                         "\n  ours    " + toHex(*key));
        }
    }
}

// Every index of every table, the system tables included, in the fixtures of every
// format this engine writes: both sort orders, and characters from all over Unicode.
TEST(IndexFixtures, StoredKeysEqualTheKeysOfTheirRows) {
    SKIP_WITHOUT_FIXTURES();
    const char* files[] = {
        "jet4/DateTestDatabase.mdb",
        "jet4/adox_jet4.mdb",
        "jet4/compIndexTestV2003.mdb",
        "jet4/delColTestV2000.mdb",
        "jet4/empty.mdb",
        "jet4/empty2003.mdb",
        "jet4/fixedNumericTestV2003.mdb",
        "jet4/indexTestV2000.mdb",
        "jet4/overflowTestV2000.mdb",
        "jet4/queryTestV2003.mdb",
        "jet4/test2V2003.mdb",
        "jet4/testIndexPropertiesV2003.mdb",
        "jet4/testUnicodeCompV2003.mdb",
        "jet4/testV2000.mdb",
        "ace12/ASampleDatabase.accdb",
        "ace12/complexDataTestV2007.accdb",
        "ace12/empty2007.accdb",
        "ace12/indexTestV2007.accdb",
        "ace12/linkeeTest.accdb",
        "ace12/linkerTestV2007.accdb",
        "ace12/odbcLinkerTestV2007.accdb",
        "ace12/oldDatesV2007.accdb",
        "ace12/testV2007.accdb",
        "ace14/calcFieldTestV2010.accdb",
        "ace14/compIndexTestV2010.accdb",
        "ace14/empty2010.accdb",
        "ace14/indexTestV2010.accdb",
        "ace14/testEmoticonsV2010.accdb",
        "ace14/testV2010.accdb",
        "ace16/empty2016.accdb",
        "ace17/empty2019.accdb",
        "ace17/extDateTestV2019.accdb",
    };
    Tally tally;
    for (const char* file : files) {
        SCOPED_TRACE(file);
        auto database = openFixture(file);
        ASSERT_TRUE(database);
        for (const CatalogEntry& entry : database->catalog().entries())
            if (entry.type == object_type::kLocalTable && entry.parentId == database->catalog().tablesContainerId())
                checkTable(*database, std::string(file) + " " + entry.name, entry.name, tally);
    }
    EXPECT_GT(tally.entries, 5000);
    EXPECT_GT(tally.textEntries, 1000);
    EXPECT_GT(tally.beyondLatin1, 20); // Unicode names and values, Swedish table names
    EXPECT_GT(tally.surrogates, 0);    // testEmoticonsV2010.accdb
    EXPECT_EQ(tally.sortOrders, (std::set<std::string>{"general", "legacy"}));
    EXPECT_GT(tally.pagesRewritten, 50);
    for (const std::string& failure : tally.failures)
        ADD_FAILURE() << failure;
}

} // namespace
} // namespace storage
