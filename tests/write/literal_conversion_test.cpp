#include "database/storage/write/literal_conversion.h"

#include "write_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace storage {
namespace {

using write_test::makeColumn;

// A conversion that should give `expected`, or fail with Jet error `error`.
struct TextCase {
    ColumnType type;
    const char* text;
    Value expected;
    int error = 0;
};

void expectConversion(const Result<Value>& result, const Value& expected, int error) {
    if (error != 0) {
        ASSERT_FALSE(result.hasValue()) << formatValue(*result);
        EXPECT_EQ(result.error().jetNumber, error) << result.error().description;
        return;
    }
    ASSERT_TRUE(result.hasValue()) << result.error().description;
    EXPECT_EQ(*result, expected) << "got " << formatValue(*result) << ", expected " << formatValue(expected);
}

TEST(LiteralConversion, NumbersRoundHalfToEvenAndOverflowPastTheTypeRange) {
    const TextCase cases[] = {
        {ColumnType::Byte, "0", uint8_t{0}},
        {ColumnType::Byte, " 255 ", uint8_t{255}},
        {ColumnType::Byte, "+7", uint8_t{7}},
        {ColumnType::Byte, "2.5", uint8_t{2}},
        {ColumnType::Byte, "3.5", uint8_t{4}},
        {ColumnType::Byte, "0.5000001", uint8_t{1}},
        {ColumnType::Byte, ".5", uint8_t{0}},
        {ColumnType::Byte, "5.", uint8_t{5}},
        {ColumnType::Byte, "-0.4", uint8_t{0}},
        {ColumnType::Byte, "255.5", {}, 3349},
        {ColumnType::Byte, "256", {}, 3349},
        {ColumnType::Byte, "-1", {}, 3349},
        {ColumnType::Byte, "1e2", uint8_t{100}},
        {ColumnType::Integer, "32767", int16_t{32767}},
        {ColumnType::Integer, "-32768.5", int16_t{-32768}},
        {ColumnType::Integer, "32768", {}, 3349},
        {ColumnType::Integer, "-32769", {}, 3349},
        {ColumnType::Long, "2147483647", int32_t{2147483647}},
        {ColumnType::Long, "-2147483648", int32_t{-2147483647 - 1}},
        {ColumnType::Long, "2147483648", {}, 3349},
        {ColumnType::Long, "-2.5", int32_t{-2}},
        {ColumnType::Long, "1E9", int32_t{1000000000}},
        {ColumnType::Long, "1e10", {}, 3349},
        {ColumnType::Long, "123456789012345678901234567890", {}, 3349},
        {ColumnType::Long, "1e-999999999999", int32_t{0}},
        {ColumnType::BigInt, "-9223372036854775808", int64_t{INT64_MIN}},
        {ColumnType::BigInt, "9223372036854775808", {}, 3349},
        {ColumnType::Currency, "12.3456", Currency{123456}},
        {ColumnType::Currency, "0.00005", Currency{0}},
        {ColumnType::Currency, "0.00015", Currency{2}},
        {ColumnType::Currency, "-922337203685477.5808", Currency{INT64_MIN}},
        {ColumnType::Currency, "922337203685477.5808", {}, 3349},
        {ColumnType::Single, "1.5", 1.5f},
        {ColumnType::Single, "1e39", {}, 3349},
        {ColumnType::Single, "-1e-50", -0.0f},
        {ColumnType::Double, "0.1", 0.1},
        {ColumnType::Double, "-1.5e308", -1.5e308},
        {ColumnType::Double, "1e309", {}, 3349},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " into type " + std::to_string(static_cast<int>(c.type)));
        expectConversion(convertText(c.text, makeColumn(c.type)), c.expected, c.error);
    }
}

TEST(LiteralConversion, WhatIsNoNumberIsATypeMismatch) {
    for (const char* text : {"", " ", "abc", "1,000", "1.2.3", "--1", "1e", "$5", "0x10", "1 2", "e5", "."}) {
        SCOPED_TRACE(text);
        for (ColumnType type : {ColumnType::Byte, ColumnType::Long, ColumnType::Double, ColumnType::Currency,
                                ColumnType::Decimal}) {
            auto result = convertText(text, makeColumn(type));
            ASSERT_FALSE(result.hasValue());
            EXPECT_EQ(result.error().jetNumber, 3464);
        }
    }
}

TEST(LiteralConversion, DecimalsAreScaledRoundedAndLimitedByPrecision) {
    ColumnDefinition column = makeColumn(ColumnType::Decimal);
    column.precision = 5;
    column.scale = 2;
    const auto decimal = [](bool negative, uint32_t magnitude) {
        Decimal d;
        d.negative = negative;
        d.magnitude = {0, 0, 0, magnitude};
        d.precision = 5;
        d.scale = 2;
        return Value(d);
    };
    const struct {
        const char* text;
        Value expected;
        int error;
    } cases[] = {
        {"123.456", decimal(false, 12346), 0}, {"999.99", decimal(false, 99999), 0}, {"-1.005", decimal(true, 100), 0},
        {"-0.001", decimal(false, 0), 0},      {"1000", {}, 3761},                   {"999.995", {}, 3761},
        {"x", {}, 3464},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        expectConversion(convertText(c.text, column), c.expected, c.error);
    }

    ColumnDefinition wide = makeColumn(ColumnType::Decimal);
    wide.precision = 28;
    auto big = convertText("9999999999999999999999999999", wide);
    ASSERT_TRUE(big.hasValue());
    EXPECT_EQ(big->get<Decimal>()->magnitude, (std::array<uint32_t, 4>{0, 0x204FCE5E, 0x3E250261, 0x0FFFFFFF}));
}

TEST(LiteralConversion, DatesReadInIsoAndUsFormsAsDayCounts) {
    const struct {
        const char* text;
        double days; // NAN: type mismatch
    } cases[] = {
        {"2024-03-15", 45366},
        {"2024-03-15 12:00", 45366.5},
        {"2024-03-15T12:00:00", 45366.5},
        {"2024/3/15 18:00:00", 45366.75},
        {"3/15/2024 12:00:00 PM", 45366.5},
        {"3-15-2024", 45366},
        {"3/15/24", 45366},
        {"1/1/29", 47119},
        {"1/1/30", 10959},
        {"15-Mar-2024", 45366},
        {"15 march 2024 6:00", 45366.25},
        {"March 15, 2024", 45366},
        {"mar 15 2024", 45366},
        {"1899-12-29 06:00", -1.25},
        {"0100-01-01", -657434},
        {"9999-12-31", 2958465},
        {"12:00", 0.5},
        {"6 PM", 0.75},
        {"12:30 AM", 0.5 / 24},
        {"  2024-03-15  ", 45366},
        {"2024-02-30", NAN},
        {"2023-02-29", NAN},
        {"13/1/2024", NAN},
        {"3/15", NAN},
        {"25:00", NAN},
        {"12:60", NAN},
        {"13:00 PM", NAN},
        {"0099-12-31", NAN},
        {"2024-03-15 noon", NAN},
        {"Smarch 15 2024", NAN},
        {"", NAN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto result = convertText(c.text, makeColumn(ColumnType::DateTime));
        if (std::isnan(c.days)) {
            ASSERT_FALSE(result.hasValue());
            EXPECT_EQ(result.error().jetNumber, 3464);
            continue;
        }
        ASSERT_TRUE(result.hasValue()) << result.error().description;
        EXPECT_NEAR(result->get<DateTime>()->days, c.days, 1e-9);
    }

    auto extended = convertText("2020-06-17 01:02:03.5", makeColumn(ColumnType::ExtendedDateTime));
    ASSERT_TRUE(extended.hasValue());
    EXPECT_EQ(*extended, Value(ExtendedDateTime{737592, 3723, 5000000}));
}

TEST(LiteralConversion, YesNoGuidTextAndBinaryFromText) {
    Guid guid;
    guid.bytes = {0x01, 0x9F, 0xA5, 0x32, 0x34, 0xAA, 0x29, 0x3E, 0x45, 0x3F, 0x45, 0x23, 0x45, 0x3C, 0xD2, 0xE6};
    const TextCase cases[] = {
        {ColumnType::Boolean, "True", true},
        {ColumnType::Boolean, "no", false},
        {ColumnType::Boolean, "ON", true},
        {ColumnType::Boolean, " off ", false},
        {ColumnType::Boolean, "0", false},
        {ColumnType::Boolean, "0.0", false},
        {ColumnType::Boolean, "-1", true},
        {ColumnType::Boolean, "maybe", {}, 3464},
        {ColumnType::Boolean, "", {}, 3464},
        {ColumnType::Guid, "{32A59F01-AA34-3E29-453F-4523453CD2E6}", guid},
        {ColumnType::Guid, "32a59f01-aa34-3e29-453f-4523453cd2e6", guid},
        {ColumnType::Guid, "{32A59F01-AA34-3E29-453F-4523453CD2E}", {}, 3464},
        {ColumnType::Guid, "32A59F01AA343E29453F4523453CD2E6", {}, 3464},
        {ColumnType::Guid, "{32A59F01-AA34-3E29-453F-4523453CD2EG}", {}, 3464},
        {ColumnType::Text, "abcde", std::string("abcde")},
        {ColumnType::Text, "", std::string()},
        {ColumnType::Text, " ab  ", std::string(" ab  ")},
        {ColumnType::Text, "abcdef", {}, 3163},
        {ColumnType::Text, "\xC3\xA9\xF0\x9F\x98\x80\xC3\xA9", std::string("\xC3\xA9\xF0\x9F\x98\x80\xC3\xA9")},
        {ColumnType::Text, "\xF0\x9F\x98\x80\xF0\x9F\x98\x80\xF0\x9F\x98\x80", {}, 3163},
        {ColumnType::Binary, "ab", BinaryValue{0x61, 0x00, 0x62, 0x00}},
        {ColumnType::Binary, "abc", {}, 3163},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.text);
        const ColumnDefinition column = makeColumn(c.type, c.type == ColumnType::Binary ? 4 : 10);
        expectConversion(convertText(c.text, column), c.expected, c.error);
        // The direct way for text into Text gives the same, and leaves the errors to the general one.
        Value direct;
        if (convertTextIntoText(sql::Literal{sql::Literal::Kind::String, c.text}, column, direct)) {
            EXPECT_EQ(c.error, 0);
            EXPECT_EQ(direct, c.expected);
        } else {
            EXPECT_TRUE(c.type != ColumnType::Text || c.error != 0) << "text that fits a Text column goes directly";
        }
    }
}

TEST(LiteralConversion, OtherLiteralKindsConvertAsJetEvaluatesThem) {
    using Kind = sql::Literal::Kind;
    const auto literal = [](Kind kind, const char* text, bool flag = false) {
        sql::Literal l;
        l.kind = kind;
        l.text = text;
        l.boolean = flag;
        return l;
    };
    const struct {
        sql::Literal literal;
        ColumnType type;
        Value expected;
        int error;
    } cases[] = {
        {literal(Kind::Null, ""), ColumnType::Long, Value(), 0},
        {literal(Kind::Null, ""), ColumnType::Text, Value(), 0},
        {literal(Kind::Number, "1.50"), ColumnType::Text, std::string("1.5"), 0},
        {literal(Kind::Number, "1e20"), ColumnType::Memo, std::string("1E+20"), 0},
        {literal(Kind::Number, "0.00001"), ColumnType::Text, std::string("1E-05"), 0},
        {literal(Kind::Number, "-2.5"), ColumnType::Long, int32_t{-2}, 0},
        {literal(Kind::Number, "45366.5"), ColumnType::DateTime, DateTime{45366.5}, 0},
        {literal(Kind::Number, "1e10"), ColumnType::DateTime, {}, 3349},
        {literal(Kind::Number, "1"), ColumnType::Guid, {}, 3464},
        {literal(Kind::Boolean, "", true), ColumnType::Boolean, true, 0},
        {literal(Kind::Boolean, "", true), ColumnType::Long, int32_t{-1}, 0},
        {literal(Kind::Boolean, "", false), ColumnType::Integer, int16_t{0}, 0},
        {literal(Kind::Boolean, "", true), ColumnType::Byte, {}, 3349},
        {literal(Kind::Boolean, "", true), ColumnType::Text, std::string("-1"), 0},
        {literal(Kind::Date, "3/15/2024"), ColumnType::DateTime, DateTime{45366}, 0},
        {literal(Kind::Date, "3/15/2024"), ColumnType::Text, std::string("3/15/2024"), 0},
        {literal(Kind::Date, "2024-03-15 12:00"), ColumnType::Text, std::string("3/15/2024 12:00:00 PM"), 0},
        {literal(Kind::Date, "00:00:01"), ColumnType::Text, std::string("12:00:01 AM"), 0},
        {literal(Kind::Date, "2024-03-15 12:00"), ColumnType::Double, 45366.5, 0},
        {literal(Kind::Date, "2024-03-15 12:00"), ColumnType::Long, int32_t{45366}, 0},
        {literal(Kind::Date, "2024-13-01"), ColumnType::DateTime, {}, 3464},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.literal.text + " kind " + std::to_string(static_cast<int>(c.literal.kind)));
        expectConversion(convertLiteral(c.literal, makeColumn(c.type, 80)), c.expected, c.error);
    }
}

TEST(LiteralConversion, CalculatedComplexAndUnknownColumnsAreRefused) {
    ColumnDefinition calculated = makeColumn(ColumnType::Long);
    calculated.extendedFlags = 0xC0;
    ColumnDefinition unknown = makeColumn(ColumnType::Long);
    unknown.typeCode = 0x46;
    for (const ColumnDefinition& column : {calculated, makeColumn(ColumnType::Complex), unknown}) {
        auto result = convertText("1", column);
        ASSERT_FALSE(result.hasValue());
        EXPECT_EQ(result.error().kind, ErrorKind::NotSupported);
    }
    ColumnDefinition calculatedText = makeColumn(ColumnType::Text, 10);
    calculatedText.extendedFlags = 0xC0;
    Value direct;
    EXPECT_FALSE(convertTextIntoText(sql::Literal{sql::Literal::Kind::String, "1"}, calculatedText, direct));
}

} // namespace
} // namespace storage
