#include "database/storage/write/index_key.h"

#include "database/storage/format/text_codec.h"
#include "database/storage/write/text_index_key.h"
#include "write_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace storage {
namespace {

using write_test::hex;
using write_test::makeColumn;
using write_test::toHex;

std::string keyOf(ColumnType type, const Value& value, bool ascending = true, FileFormat format = FileFormat::Ace12) {
    ColumnDefinition column = makeColumn(type, type == ColumnType::Text ? 510 : 0);
    IndexKeyOptions options;
    options.format = format;
    std::vector<uint8_t> key;
    Status status = appendKeyColumn(key, column, value, ascending, options);
    EXPECT_TRUE(status.isOk()) << (status ? "" : status.error().description);
    return toHex(key);
}

TEST(IndexKey, NumbersDatesAndFlagsEncodeInByteOrder) {
    const struct {
        ColumnType type;
        Value value;
        bool ascending;
        const char* key;
    } cases[] = {
        {ColumnType::Long, int32_t{0}, true, "7F 80 00 00 00"},
        {ColumnType::Long, int32_t{1}, true, "7F 80 00 00 01"},
        {ColumnType::Long, int32_t{-1}, true, "7F 7F FF FF FF"},
        {ColumnType::Long, int32_t{1}, false, "80 7F FF FF FE"},
        {ColumnType::Long, static_cast<int32_t>(0x80000004u), true, "7F 00 00 00 04"},
        {ColumnType::Long, Value(), true, "00"},
        {ColumnType::Long, Value(), false, "FF"},
        {ColumnType::Integer, int16_t{5}, true, "7F 80 05"},
        {ColumnType::Byte, uint8_t{5}, false, "80 FA"},
        {ColumnType::Currency, Currency{123456}, true, "7F 80 00 00 00 00 01 E2 40"},
        {ColumnType::BigInt, int64_t{-2}, true, "7F 7F FF FF FF FF FF FF FE"},
        {ColumnType::Double, 1.0, true, "7F BF F0 00 00 00 00 00 00"},
        {ColumnType::Double, -1.0, true, "7F 40 0F FF FF FF FF FF FF"},
        {ColumnType::Double, 1.0, false, "80 40 0F FF FF FF FF FF FF"},
        {ColumnType::Single, 1.0f, true, "7F BF 80 00 00"},
        {ColumnType::DateTime, DateTime{45366.5}, true, "7F C0 E6 26 D0 00 00 00 00"},
        {ColumnType::Boolean, true, true, "7F 00"},
        {ColumnType::Boolean, false, true, "7F FF"},
        {ColumnType::Boolean, true, false, "80 FF"},
        {ColumnType::Boolean, Value(), true, "7F FF"}, // never Null: No
        {ColumnType::Guid, Guid{{0x01, 0x9F, 0xA5, 0x32, 0x34, 0xAA, 0x29, 0x3E, 0x45, 0x3F, 0x45, 0x23, 0x45, 0x3C,
                                 0xD2, 0xE6}},
         true, "7F 32 A5 9F 01 AA 34 3E 29 09 45 3F 45 23 45 3C D2 E6 08"},
        {ColumnType::Binary, BinaryValue{0x61, 0x62, 0x63}, true, "7F 61 62 63 00 00 00 00 00 03"},
        {ColumnType::Binary, BinaryValue{0x61, 0x62, 0x63}, false, "80 9E 9D 9C FF FF FF FF FF FC"},
        {ColumnType::Binary, BinaryValue{}, true, "7F"},
        {ColumnType::ExtendedDateTime, ExtendedDateTime{737592, 0, 0}, true,
         "7F 30 30 30 30 30 30 30 30 09 30 30 30 30 30 37 33 37 09 35 39 32 3A 30 30 30 30 09 30 30 30 30 30 30 30 30 09 "
         "30 30 30 30 30 30 30 3A 09 37 00 00 00 00 00 00 00 02"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(keyOf(c.type, c.value, c.ascending), toHex(hex(c.key)));
    }
    const std::vector<uint8_t> binary = {0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C,
                                         0x6D, 0x6E, 0x6F, 0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78};
    EXPECT_EQ(keyOf(ColumnType::Binary, BinaryValue(binary)),
              "7F 61 62 63 64 65 66 67 68 09 69 6A 6B 6C 6D 6E 6F 70 09 71 72 73 74 75 76 77 78 08");
}

TEST(IndexKey, DecimalKeysDependOnTheFormat) {
    const Decimal one{false, {0, 0, 0, 1}, 18, 0};
    const Decimal minusOne{true, {0, 0, 0, 1}, 18, 0};
    const std::string magnitudeOne = "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 01";
    const std::string inverted = "FF FF FF FF FF FF FF FF FF FF FF FF FF FF FF FE";
    EXPECT_EQ(keyOf(ColumnType::Decimal, one, true), "7F FF " + magnitudeOne);
    EXPECT_EQ(keyOf(ColumnType::Decimal, minusOne, true), "7F 00 " + inverted);
    EXPECT_EQ(keyOf(ColumnType::Decimal, one, false), "80 00 " + inverted);
    EXPECT_EQ(keyOf(ColumnType::Decimal, minusOne, false), "80 FF " + magnitudeOne);
    EXPECT_EQ(keyOf(ColumnType::Decimal, one, false, FileFormat::Jet4), "80 FF " + inverted);
    EXPECT_EQ(keyOf(ColumnType::Decimal, minusOne, false, FileFormat::Jet4), "80 00 " + magnitudeOne);
}

std::string textKey(const char* utf8, TextSortOrder order, bool ascending = true) {
    std::vector<uint8_t> key{static_cast<uint8_t>(ascending ? 0x7F : 0x80)};
    appendTextKey(key, utf8ToUtf16(utf8), order, ascending);
    return toHex(key);
}

TEST(IndexKey, TextKeysInBothGeneralSortOrders) {
    const struct {
        const char* text;
        TextSortOrder order;
        bool ascending;
        const char* key;
    } cases[] = {
        {"a", TextSortOrder::GeneralLegacy, true, "7F 4A 01 00"},
        {"abcdefg", TextSortOrder::GeneralLegacy, true, "7F 4A 4C 4D 4F 51 53 55 01 00"},
        {"~TMPCLPMacro", TextSortOrder::GeneralLegacy, true, "7F 2B 0F 6D 60 66 4D 5E 66 60 4A 4D 69 64 01 00"},
        {"-1", TextSortOrder::GeneralLegacy, true, "7F 38 01 01 01 01 80 07 06 82 00"},
        {"Smith", TextSortOrder::GeneralLegacy, true, "7F 6B 60 59 6D 57 01 00"},
        {"SMITH", TextSortOrder::GeneralLegacy, true, "7F 6B 60 59 6D 57 01 00"},
        {"Smith  ", TextSortOrder::GeneralLegacy, true, "7F 6B 60 59 6D 57 01 00"},
        {"Smith", TextSortOrder::GeneralLegacy, false, "80 94 9F A6 92 A8 FE FF 00"},
        {"caf\xC3\xA9", TextSortOrder::GeneralLegacy, true, "7F 4D 4A 53 51 01 02 02 02 0E 00"},
        {"O'Neil", TextSortOrder::GeneralLegacy, true, "7F 64 62 51 59 5E 01 01 01 01 80 0B 06 80 00"},
        {"", TextSortOrder::GeneralLegacy, true, "7F 01 00"},
        {"\xC3\xA9-", TextSortOrder::GeneralLegacy, true, "7F 51 01 0E 01 01 01 80 0B 06 82 00"},
        {"a", TextSortOrder::General, true, "7F 0E 02 01 00"},
        {"abcdefg", TextSortOrder::General, true, "7F 0E 02 0E 09 0E 0A 0E 1A 0E 21 0E 23 0E 25 01 00"},
        {"-1", TextSortOrder::General, true, "7F 0D 19 01 01 01 01 80 07 06 82 00"},
        {"Smith", TextSortOrder::General, true, "7F 0E 91 0E 51 0E 32 0E 99 0E 2C 01 00"},
        {"Table1", TextSortOrder::General, true, "7F 0E 99 0E 02 0E 09 0E 48 0E 21 0D 19 01 00"},
        {"caf\xC3\xA9", TextSortOrder::General, true, "7F 0E 0A 0E 02 0E 23 0E 21 01 02 02 02 0E 00"},
        {"\xC3\x9C", TextSortOrder::General, true, "7F 0E 9F 0E 21 01 00"},        // Ü: u + e
        {"\xC3\x9C", TextSortOrder::GeneralLegacy, true, "7F 6F 01 13 00"},         // Ü: u with an accent
        {"a\xC2\xAD" "b", TextSortOrder::General, true, "7F 0E 02 0E 09 01 00"},    // soft hyphen ignored
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(textKey(c.text, c.order, c.ascending), toHex(hex(c.key)));
    }
    // Only the first 255 characters count.
    EXPECT_EQ(textKey(std::string(300, 'a').c_str(), TextSortOrder::GeneralLegacy),
              textKey(std::string(255, 'a').append("b").c_str(), TextSortOrder::GeneralLegacy));
}

// Beyond U+00FF every unit has a code: the fixture test compares the keys Access wrote;
// these cases pin the parts of the algorithm only such characters reach.
TEST(IndexKey, EveryCharacterHasAKey) {
    const struct {
        const char* text;
        TextSortOrder order;
        const char* key;
    } cases[] = {
        // Outside the BMP: the surrogates have computed codes (a key Access wrote).
        {"a\xF0\x9F\x98\x80"
         "a",
         TextSortOrder::General, "7F 0E 02 B0 3F B6 FC 0E 02 01 02 3F 3F 00"},
        {"\xE2\x82\xAC", TextSortOrder::GeneralLegacy, "7F 35 A1 01 00"}, // €
        {"\xE2\x82\xAC", TextSortOrder::General, "7F 07 A9 01 00"},       // €
        {"\xE2\x80\x9C"
         "a\xE2\x80\x9D",
         TextSortOrder::General, "7F 07 7D 0E 02 07 7E 01 00"},           // “a”
        {"\xE4\xB8\xAD", TextSortOrder::GeneralLegacy, "7F 9F 3D 01 00"}, // 中
        {"\xE4\xB8\xAD", TextSortOrder::General, "7F FD FF 3C 97 01 00"}, // 中: four inline bytes
        {"a\xE2\x80\x93"
         "b",
         TextSortOrder::General, "7F 0E 02 0E 09 01 01 01 01 80 0B 06 89 00"}, // –: unprintable
        // e and a combining acute: the modifier adds to the extra code, giving é's key.
        {"e\xCC\x81", TextSortOrder::General, "7F 0E 21 01 0E 00"},
        {"\xC3\xA9", TextSortOrder::General, "7F 0E 21 01 0E 00"},
        // Kana carry a flag: 3 (the usual one) is left out at the end, 2 is packed after 10.
        {"\xE3\x81\x82", TextSortOrder::General, "7F 7F 02 01 01 01 FF 02 80 FF 80 00"},    // あ
        {"\xE3\x81\x81", TextSortOrder::General, "7F 7F 02 01 01 01 A0 FF 02 80 FF 80 00"}, // ぁ
        {"\xE3\x81\x81-", TextSortOrder::GeneralLegacy, "7F 7F 02 01 01 01 A0 FF 02 80 FF 80 FF 01 80 0B 06 82 00"},
        // Case and the characters the order ignores (U+200D) make no difference.
        {"\xCE\x91\xCE\x9B\xCE\xA6\xCE\x91", TextSortOrder::General, "7F 0F 02 0F 16 0F 2C 0F 02 01 00"},
        {"\xCE\xB1\xCE\xBB\xCF\x86\xCE\xB1", TextSortOrder::General, "7F 0F 02 0F 16 0F 2C 0F 02 01 00"},
        {"a\xE2\x80\x8D"
         "b",
         TextSortOrder::GeneralLegacy, "7F 4A 4C 01 00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(textKey(c.text, c.order), toHex(hex(c.key)));
    }
}

TEST(IndexKey, SortOrderComesFromTheColumnAndTheFormat) {
    EXPECT_EQ(*textSortOrder(1033, 0, FileFormat::Ace14), TextSortOrder::GeneralLegacy);
    EXPECT_EQ(*textSortOrder(1033, 1, FileFormat::Jet4), TextSortOrder::General);
    EXPECT_EQ(*textSortOrder(0, 0, FileFormat::Ace12), TextSortOrder::GeneralLegacy);
    EXPECT_EQ(*textSortOrder(0, 0, FileFormat::Ace14), TextSortOrder::General);
    EXPECT_FALSE(textSortOrder(1053, 0, FileFormat::Jet4).hasValue());
    EXPECT_FALSE(textSortOrder(1033, 2, FileFormat::Ace16).hasValue());
}

// Keys must sort as the values do, also descending: a check over many values, not examples.
TEST(IndexKey, KeyOrderFollowsValueOrder) {
    const std::vector<double> doubles = {-1e300, -2.5, -1.0, -1e-300, 0.0, 1e-300, 0.5, 1.0, 3.0, 1e300};
    const std::vector<int32_t> longs = {INT32_MIN, -70000, -1, 0, 1, 255, 256, 70000, INT32_MAX};
    const std::vector<std::string> texts = {"", "a", "A b", "ab", "abc", "b", "caf\xC3\xA9", "cafe!", "z"};
    for (bool ascending : {true, false}) {
        SCOPED_TRACE(ascending);
        const auto check = [&](ColumnType type, const std::vector<Value>& values) {
            for (std::size_t i = 0; i + 1 < values.size(); ++i) {
                const std::string a = keyOf(type, values[i], ascending), b = keyOf(type, values[i + 1], ascending);
                const auto va = hex(a), vb = hex(b);
                EXPECT_EQ(ascending, std::lexicographical_compare(va.begin(), va.end(), vb.begin(), vb.end()))
                    << formatValue(values[i]) << " / " << formatValue(values[i + 1]);
            }
        };
        check(ColumnType::Double, std::vector<Value>(doubles.begin(), doubles.end()));
        check(ColumnType::Long, std::vector<Value>(longs.begin(), longs.end()));
        check(ColumnType::Text, std::vector<Value>(texts.begin(), texts.end()));
    }
}

} // namespace
} // namespace storage
