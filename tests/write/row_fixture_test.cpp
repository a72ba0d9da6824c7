// Rows that Access wrote, decoded and encoded again: the bytes must be the same.

#include "database/storage/format/text_codec.h"
#include "database/storage/table/data_page.h"
#include "database/storage/table/row_decoder.h"
#include "database/storage/table/usage_map.h"
#include "database/storage/write/long_value_writer.h"
#include "database/storage/write/row_encoder.h"
#include "database/storage/write/text_encoding.h"
#include "write_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace storage {
namespace {

using write_test::openFixture;
using write_test::toHex;

// The bytes of a variable column's value in a stored row, or nullopt when the row predates the column.
std::optional<std::vector<uint8_t>> variableField(Bytes row, const TableDefinition& def, const ColumnDefinition& column) {
    const std::size_t mask = (std::size_t{readU16(row, 0)} + 7) / 8;
    const std::size_t countAt = row.size() - mask - 2;
    const std::size_t count = readU16(row, countAt);
    if (column.varIndex >= count || def.variableColumns == 0)
        return std::nullopt;
    const std::size_t startAt = countAt - 2 - 2 * std::size_t{column.varIndex};
    const std::size_t start = readU16(row, startAt);
    const std::size_t end = readU16(row, startAt - 2);
    return std::vector<uint8_t>(row.begin() + static_cast<std::ptrdiff_t>(start),
                                row.begin() + static_cast<std::ptrdiff_t>(end));
}

struct Tally {
    int rows = 0;
    int inlineLongValues = 0;
    int rowsWithDeletedData = 0;
    std::vector<std::string> rowsEditedInPlace;
    std::vector<std::string> mismatches;
};

// Whether the row still holds data of a deleted column: Access keeps it in old rows.
bool holdsDeletedColumnData(Bytes row, const TableDefinition& def) {
    const std::size_t slots = readU16(row, 0);
    const std::size_t maskAt = row.size() - (slots + 7) / 8;
    for (std::size_t number = 0; number < slots; ++number) {
        const bool live = std::any_of(def.columns.begin(), def.columns.end(),
                                      [&](const ColumnDefinition& c) { return c.number == number; });
        if (!live && (row[maskAt + number / 8] & (1u << (number % 8))))
            return true;
    }
    return false;
}

// Access leaves old bytes in the fixed area where a column is Null or was deleted; this engine writes zeros.
std::vector<uint8_t> withStaleFixedBytesCleared(Bytes row, const TableDefinition& def, const std::vector<Value>& values) {
    std::vector<uint8_t> out(row.begin(), row.end());
    std::vector<bool> live(row.size(), false);
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const ColumnDefinition& column = def.columns[i];
        if (column.isFixed() && column.type() != ColumnType::Boolean && !values[i].isNull())
            std::fill_n(live.begin() + 2 + column.fixedOffset, column.length, true);
    }
    std::size_t fixedEnd = 2;
    for (const ColumnDefinition& column : def.columns)
        if (column.isFixed() && column.type() != ColumnType::Boolean)
            fixedEnd = std::max<std::size_t>(fixedEnd, 2u + column.fixedOffset + column.length);
    for (std::size_t at = 2; at < fixedEnd; ++at)
        if (!live[at])
            out[at] = 0;
    return out;
}

// A row that Access shortened in place keeps slack bytes between the end of its variable data
// and the offset table; without them it must be what a fresh write gives.
std::vector<uint8_t> withoutSlack(std::vector<uint8_t> row, const TableDefinition& def, bool& hadSlack) {
    hadSlack = false;
    if (def.variableColumns == 0)
        return row;
    const std::size_t mask = (std::size_t{readU16(row, 0)} + 7) / 8;
    const std::size_t countAt = row.size() - mask - 2;
    const std::size_t eodAt = countAt - 2 - 2 * std::size_t{readU16(row, countAt)};
    const std::size_t dataEnd = readU16(row, eodAt);
    if (dataEnd < eodAt) {
        row.erase(row.begin() + static_cast<std::ptrdiff_t>(dataEnd), row.begin() + static_cast<std::ptrdiff_t>(eodAt));
        hadSlack = true;
    }
    return row;
}

void compareRow(const std::string& where, Bytes stored, const TableDefinition& def, const std::vector<Value>& values,
                Tally& tally) {
    auto encoded = encodeRow(def, values);
    ASSERT_TRUE(encoded.hasValue()) << where << ": " << encoded.error().description;
    ++tally.rows;
    bool hadSlack = false;
    const std::vector<uint8_t> expected = withoutSlack(withStaleFixedBytesCleared(stored, def, values), def, hadSlack);
    if (hadSlack)
        tally.rowsEditedInPlace.push_back(where);
    if (*encoded != expected)
        tally.mismatches.push_back(where + ":\n  stored  " + toHex(expected) + "\n  encoded " + toHex(*encoded));
}

void compareTable(Database& database, const std::string& file, const std::string& table, Tally& tally) {
    auto cursor = database.openTable(table);
    ASSERT_TRUE(cursor.hasValue()) << table;
    const TableDefinition& def = cursor->definition();
    if (std::any_of(def.columns.begin(), def.columns.end(), [](const auto& c) { return c.isCalculated(); }))
        return; // their values are computed by Access, not written
    PageReader& pages = database.pages();
    auto owned = readUsageMap(pages, def.ownedPages);
    ASSERT_TRUE(owned.hasValue());
    for (uint32_t number : owned->pages) {
        auto page = pages.page(number);
        ASSERT_TRUE(page.hasValue());
        const Bytes bytes(**page);
        if (bytes[0] != kDataPageType || readU32(bytes, 4) != def.firstPage)
            continue;
        auto count = dataPageRowCount(pages, number, bytes);
        ASSERT_TRUE(count.hasValue());
        for (uint16_t r = 0; r < *count; ++r) {
            auto slot = locateRow(pages, number, bytes, r);
            ASSERT_TRUE(slot.hasValue());
            if (slot->deleted || slot->overflow)
                continue;
            const Bytes row = bytes.subspan(slot->start, slot->end - slot->start);
            if (readU16(row, 0) != def.maxColumns)
                continue; // written before columns were added: Access's layout then is not ours to repeat
            if (holdsDeletedColumnData(row, def)) {
                ++tally.rowsWithDeletedData;
                continue;
            }
            std::vector<Value> values;
            ASSERT_TRUE(decodeRow(pages, def, row, {number, slot->start}, values).isOk());
            for (std::size_t i = 0; i < def.columns.size(); ++i) {
                const ColumnDefinition& column = def.columns[i];
                if (!column.isLongValue() || values[i].isNull())
                    continue;
                auto field = variableField(row, def, column);
                ASSERT_TRUE(field.has_value());
                if (field->size() >= 12 && ((*field)[3] & 0xC0) == 0x80) {
                    // An inline value must also come out of the long-value writer as stored.
                    std::vector<uint8_t> data;
                    if (const auto* text = values[i].get<std::string>()) {
                        auto encoded = encodeStoredText(*text, mayCompressText(column));
                        ASSERT_TRUE(encoded.hasValue());
                        data = *encoded;
                    } else {
                        data = *values[i].get<BinaryValue>();
                    }
                    std::vector<uint8_t> expected =
                        longValueHeader(LongValueKind::Inline, static_cast<uint32_t>(data.size()), {});
                    expected.insert(expected.end(), data.begin(), data.end());
                    if (expected != *field)
                        tally.mismatches.push_back(table + " long value " + column.name + ": " + toHex(*field) +
                                                   " vs " + toHex(expected));
                    ++tally.inlineLongValues;
                }
                values[i] = BinaryValue(*field);
            }
            compareRow(file + " " + table + " page " + std::to_string(number) + " row " + std::to_string(r), row, def,
                       values, tally);
        }
    }
}

TEST(RowFixtures, AccessRowsEncodeToTheirStoredBytes) {
    SKIP_WITHOUT_FIXTURES();
    const char* files[] = {
        "jet4/testV2000.mdb",           "jet4/indexTestV2000.mdb",      "jet4/compIndexTestV2003.mdb",
        "jet4/fixedNumericTestV2003.mdb", "jet4/test2V2003.mdb",        "jet4/testUnicodeCompV2003.mdb",
        "jet4/delColTestV2000.mdb",     "jet4/testIndexPropertiesV2003.mdb", "jet4/DateTestDatabase.mdb",
        "jet4/overflowTestV2000.mdb",   "ace12/testV2007.accdb",        "ace12/indexTestV2007.accdb",
        "ace12/complexDataTestV2007.accdb", "ace12/ASampleDatabase.accdb", "ace12/oldDatesV2007.accdb",
        "ace14/testV2010.accdb",        "ace14/indexTestV2010.accdb",   "ace14/testEmoticonsV2010.accdb",
        "ace17/extDateTestV2019.accdb",
    };
    Tally tally;
    for (const char* file : files) {
        SCOPED_TRACE(file);
        auto database = openFixture(file);
        ASSERT_TRUE(database) << file;
        auto tables = database->userTables();
        ASSERT_TRUE(tables.hasValue());
        for (const std::string& table : *tables)
            compareTable(*database, file, table, tally);
        // The catalogue is a table like any other.
        compareTable(*database, file, "MSysObjects", tally);
    }
    EXPECT_GT(tally.rows, 1000);
    EXPECT_GT(tally.inlineLongValues, 10);
    EXPECT_GT(tally.rowsWithDeletedData, 0); // delColTestV2000.mdb
    // The two rows that were edited to shorter values after they were written.
    EXPECT_EQ(tally.rowsEditedInPlace,
              (std::vector<std::string>{"jet4/testV2000.mdb Table1 page 27 row 0",
                                        "jet4/testIndexPropertiesV2003.mdb TableIgnoreNulls2 page 49 row 12"}));
    for (const std::string& mismatch : tally.mismatches)
        ADD_FAILURE() << mismatch;
}

} // namespace
} // namespace storage
