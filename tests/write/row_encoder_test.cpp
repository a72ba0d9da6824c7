#include "database/storage/write/row_encoder.h"

#include "database/storage/file/memory_file.h"
#include "database/storage/table/row_decoder.h"
#include "write_test_support.h"

#include <gtest/gtest.h>

namespace storage {
namespace {

using write_test::hex;
using write_test::makeColumn;
using write_test::toHex;

// The People table: ID Long (fixed), First and Last Text(50) with compression.
TableDefinition peopleTable() {
    TableDefinition def;
    def.maxColumns = 3;
    def.variableColumns = 2;
    def.columns.push_back(makeColumn(ColumnType::Long, 4, 0));
    for (uint16_t i = 1; i <= 2; ++i) {
        ColumnDefinition text = makeColumn(ColumnType::Text, 100, i);
        text.varIndex = static_cast<uint16_t>(i - 1);
        text.extendedFlags = 0x01;
        def.columns.push_back(text);
    }
    return def;
}

std::vector<Value> decodeWithoutPages(const TableDefinition& def, Bytes row) {
    MemoryFile file(std::vector<uint8_t>(4096, 0));
    PageReader pages(file, "memory", 4096, 1);
    std::vector<Value> out;
    Status status = decodeRow(pages, def, row, {}, out);
    EXPECT_TRUE(status.isOk()) << (status ? "" : status.error().description);
    return out;
}

TEST(RowEncoder, LaysOutRowsAsAccessDoes) {
    const TableDefinition def = peopleTable();
    const struct {
        std::vector<Value> values;
        const char* bytes;
    } cases[] = {
        {{int32_t{7}, std::string("Ann"), std::string("Lee")},
         "03 00 07 00 00 00 FF FE 41 6E 6E FF FE 4C 65 65 10 00 0B 00 06 00 02 00 07"},
        {{int32_t{8}, Value(), std::string("\xC5\x81\xC3\xB3" "d\xC5\xBA")},
         "03 00 08 00 00 00 41 01 F3 00 64 00 7A 01 0E 00 06 00 06 00 02 00 05"},
        {{int32_t{8}, std::string(), std::string("\xC5\x81\xC3\xB3" "d\xC5\xBA")},
         "03 00 08 00 00 00 41 01 F3 00 64 00 7A 01 0E 00 06 00 06 00 02 00 07"},
        {{Value(), Value(), Value()}, "03 00 00 00 00 00 06 00 06 00 06 00 02 00 00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        auto row = encodeRow(def, c.values);
        ASSERT_TRUE(row.hasValue()) << row.error().description;
        EXPECT_EQ(toHex(*row), toHex(hex(c.bytes)));
        EXPECT_EQ(decodeWithoutPages(def, *row), c.values);
    }
}

TEST(RowEncoder, FixedOnlyTablesHaveNoVariableSectionAndYesNoLivesInTheMask) {
    TableDefinition def;
    def.maxColumns = 11; // slots 3..10 belong to deleted columns: a two-byte mask
    def.columns = {makeColumn(ColumnType::Boolean, 1, 0), makeColumn(ColumnType::Integer, 2, 1),
                   makeColumn(ColumnType::Boolean, 1, 2), makeColumn(ColumnType::Double, 8, 10)};
    def.columns[0].flags = def.columns[2].flags = 0x03;
    def.columns[1].fixedOffset = 0;
    def.columns[3].fixedOffset = 4; // a 2-byte hole where a deleted column was
    const std::vector<Value> values = {true, int16_t{-2}, false, 1.0};
    auto row = encodeRow(def, values);
    ASSERT_TRUE(row.hasValue());
    EXPECT_EQ(toHex(*row), "0B 00 FE FF 00 00 00 00 00 00 00 00 F0 3F 03 04");
    EXPECT_EQ(decodeWithoutPages(def, *row), values);
}

TEST(RowEncoder, EveryFixedTypeRoundTripsThroughTheDecoder) {
    TableDefinition def;
    const std::vector<std::pair<ColumnType, Value>> columns = {
        {ColumnType::Byte, uint8_t{200}},
        {ColumnType::Integer, int16_t{-300}},
        {ColumnType::Long, int32_t{-70000}},
        {ColumnType::Currency, Currency{123456}},
        {ColumnType::Single, 1.25f},
        {ColumnType::Double, -2.5},
        {ColumnType::DateTime, DateTime{-1.25}},
        {ColumnType::Guid, Guid{{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}}},
        {ColumnType::Decimal, Decimal{true, {0, 0, 0x016A7C1C, 0xE1EDF4F1}, 18, 6}},
        {ColumnType::BigInt, int64_t{-5}},
        {ColumnType::ExtendedDateTime, ExtendedDateTime{737592, 3723, 5000000}},
    };
    uint16_t offset = 0;
    std::vector<Value> values;
    for (const auto& [type, value] : columns) {
        ColumnDefinition column = makeColumn(type, 0, static_cast<uint16_t>(def.columns.size()));
        column.fixedOffset = offset;
        column.precision = 18;
        column.scale = 6;
        auto bytes = encodeFieldValue(column, value);
        ASSERT_TRUE(bytes.hasValue());
        offset = static_cast<uint16_t>(offset + bytes->size());
        def.columns.push_back(column);
        values.push_back(value);
    }
    def.maxColumns = static_cast<uint16_t>(def.columns.size());
    auto row = encodeRow(def, values);
    ASSERT_TRUE(row.hasValue());
    EXPECT_EQ(decodeWithoutPages(def, *row), values);
}

TEST(RowEncoder, DeletedVariableSlotsGetEmptyEntries) {
    TableDefinition def;
    def.maxColumns = 4;
    def.variableColumns = 3;
    ColumnDefinition a = makeColumn(ColumnType::Text, 20, 0);
    ColumnDefinition c = makeColumn(ColumnType::Binary, 20, 3);
    c.varIndex = 2; // var slot 1 and column number 1, 2 were deleted
    def.columns = {a, c};
    auto row = encodeRow(def, {std::string("x"), BinaryValue{0xAB}});
    ASSERT_TRUE(row.hasValue());
    EXPECT_EQ(toHex(*row), "04 00 78 00 AB 05 00 04 00 04 00 02 00 03 00 09");
}

TEST(RowEncoder, RefusesRowsAndValuesThatDoNotFit) {
    TableDefinition def;
    def.maxColumns = 9;
    def.variableColumns = 9;
    std::vector<Value> values;
    for (uint16_t i = 0; i < 9; ++i) {
        ColumnDefinition text = makeColumn(ColumnType::Text, 510, i);
        text.varIndex = i;
        def.columns.push_back(text);
        values.emplace_back(std::string(255, 'x')); // 510 bytes each, uncompressed
    }
    auto fits = encodeRow(def, std::vector<Value>(values.begin(), values.begin() + 7));
    EXPECT_FALSE(fits.hasValue()); // a value per column is required
    values.resize(9);
    auto tooLarge = encodeRow(def, values);
    ASSERT_FALSE(tooLarge.hasValue());
    EXPECT_EQ(tooLarge.error().jetNumber, 3047);
    values[8] = Value();
    values[7] = Value();
    EXPECT_TRUE(encodeRow(def, values).hasValue()); // 7 x 510 bytes fit

    const struct {
        ColumnDefinition column;
        Value value;
        int error;
    } refused[] = {
        {makeColumn(ColumnType::Text, 4), std::string("abc"), 3163},
        {makeColumn(ColumnType::Binary, 2), BinaryValue{1, 2, 3}, 3163},
        {makeColumn(ColumnType::Long, 4), int16_t{1}, 3464},
        {makeColumn(ColumnType::Memo), BinaryValue{1, 2}, 3464}, // no long-value header
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(r.error);
        auto bytes = encodeFieldValue(r.column, r.value);
        ASSERT_FALSE(bytes.hasValue());
        EXPECT_EQ(bytes.error().jetNumber, r.error);
    }
}

} // namespace
} // namespace storage
