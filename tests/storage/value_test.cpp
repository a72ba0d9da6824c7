#include "database/storage/format/header.h"
#include "database/storage/format/rc4.h"
#include "database/storage/format/text_codec.h"
#include "database/storage/table/value.h"

#include "storage_test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace storage {
namespace {

Decimal decimal(bool negative, std::array<uint32_t, 4> words, uint8_t scale) {
    Decimal d;
    d.negative = negative;
    d.magnitude = words;
    d.scale = scale;
    return d;
}

TEST(ValueFormat, OneTextPerKind) {
    Guid guid;
    const uint8_t guidBytes[16] = {0x01, 0x9F, 0xA5, 0x32, 0x34, 0xAA, 0x29, 0x3E,
                                   0x45, 0x3F, 0x45, 0x23, 0x45, 0x3C, 0xD2, 0xE6};
    std::memcpy(guid.bytes.data(), guidBytes, 16);
    const std::pair<Value, const char*> cases[] = {
        {Value(), ""},
        {true, "1"},
        {false, "0"},
        {uint8_t{255}, "255"},
        {int16_t{-32768}, "-32768"},
        {int32_t{333333333}, "333333333"},
        {Currency{123456}, "12.3456"},
        {Currency{-5000}, "-0.5000"},
        {Currency{INT64_MIN}, "-922337203685477.5808"},
        {444.555, "444.555"},
        {1e20, "1e+20"},
        {0.1f, "0.1"},
        {DateTime{0.0}, "1899-12-30 00:00:00"},
        {DateTime{0.25}, "1899-12-30 06:00:00"},
        {DateTime{45366.5}, "2024-03-15 12:00:00"},
        {DateTime{-1.25}, "1899-12-29 06:00:00"},
        {DateTime{-2.75}, "1899-12-28 18:00:00"},
        {DateTime{2.0 - 1.0 / 86400 / 4}, "1900-01-01 00:00:00"},
        {ExtendedDateTime{737592, 45900, 1234567}, "2020-06-17 12:45:00.1234567"},
        {guid, "{32A59F01-AA34-3E29-453F-4523453CD2E6}"},
        {decimal(false, {0, 0, 0x016A7C1C, 0xE1EDF4F1}, 6), "102030405060.654321"},
        {decimal(true, {0, 0, 0, 1}, 0), "-1"},
        {decimal(true, {0, 0, 0, 5}, 3), "-0.005"},
        {decimal(true, {0, 0, 0, 0}, 2), "0.00"},
        {std::string("Łódź"), "Łódź"},
        {BinaryValue{0x00, 0xAB, 0x7F}, "00AB7F"},
        {ComplexValueId{4}, "4"},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(expected);
        EXPECT_EQ(formatValue(value), expected);
    }
}

TEST(TextCodec, StoredTextForms) {
    const std::pair<std::vector<uint8_t>, const char*> cases[] = {
        {{0xFF, 0xFE, 0x41, 0x42, 0x00, 0x41, 0x01, 0x00, 0x43}, "AB\xC5\x81" "C"},
        {{0xFF, 0xFE, 0x41, 0x6E, 0x6E}, "Ann"},
        {{0x41, 0x00, 0x3D, 0xD8, 0x00, 0xDE}, "A\xF0\x9F\x98\x80"},   // surrogate pair
        {{0x3D, 0xD8, 0x41, 0x00}, "\xEF\xBF\xBD" "A"},                // lone high surrogate
        {{0xFF, 0xFE, 0x00, 0x41}, ""},                                 // cut inside a two-byte unit
        {{0x41}, ""},
    };
    for (const auto& [bytes, expected] : cases) {
        SCOPED_TRACE(expected);
        EXPECT_EQ(decodeStoredText(bytes), expected);
    }
    EXPECT_EQ(utf8ToUtf16("a\xF0\x9F\x98\x80\xFF"), (std::u16string{u'a', 0xD83D, 0xDE00, 0xFFFD}));
    EXPECT_EQ(foldedName("Umsätze ÄRGER Łódź"), foldedName("UMSÄTZE ärger łÓDŹ"));
    EXPECT_NE(foldedName("Table1"), foldedName("Table2"));
}

TEST(Rc4, HeaderMaskKeystream) {
    // The first keystream bytes of the header mask key C7 DA 39 6B.
    std::vector<uint8_t> data(8, 0);
    const uint8_t key[4] = {0xC7, 0xDA, 0x39, 0x6B};
    Rc4 rc4(key);
    rc4.apply(data);
    EXPECT_EQ(data, (std::vector<uint8_t>{0xB5, 0x6F, 0x03, 0x62, 0x61, 0x08, 0xC2, 0x55}));
}

// Puts a password into a copy of a password-less Jet 4 header, the way Jet
// stores it, and checks that opening then requires it.
TEST(Header, StoredPasswordIsRequired) {
    SKIP_WITHOUT_FIXTURES();
    std::vector<uint8_t> bytes = test::readBytes(test::fixture("jet4/empty.mdb"));
    ASSERT_GE(bytes.size(), 4096u);
    const uint8_t maskKey[4] = {0xC7, 0xDA, 0x39, 0x6B};
    std::span<uint8_t> region(bytes.data() + 0x18, 128);
    Rc4(maskKey).apply(region);
    double created = 0;
    std::memcpy(&created, bytes.data() + 0x72, 8);
    const auto days = static_cast<uint32_t>(static_cast<int32_t>(created));
    const uint8_t dateMask[4] = {static_cast<uint8_t>(days), static_cast<uint8_t>(days >> 8),
                                 static_cast<uint8_t>(days >> 16), static_cast<uint8_t>(days >> 24)};
    for (std::size_t i = 0; i < 40; ++i) // a password-less file holds the bare mask
        ASSERT_EQ(bytes[0x42 + i], dateMask[i % 4]);
    const char16_t password[] = u"Geheim\u00DF";
    for (std::size_t i = 0; i < 7; ++i) {
        bytes[0x42 + 2 * i] ^= static_cast<uint8_t>(password[i]);
        bytes[0x43 + 2 * i] ^= static_cast<uint8_t>(password[i] >> 8);
    }
    Rc4(maskKey).apply(region);

    EXPECT_TRUE(test::openBytes(bytes, {.password = "Geheim\xC3\x9F"}));
    for (const char* wrong : {"", "geheim\xC3\x9F", "Geheim", "Geheim\xC3\x9F "}) {
        SCOPED_TRACE(wrong);
        auto db = test::openBytes(bytes, {.password = wrong});
        ASSERT_FALSE(db);
        EXPECT_EQ(db.error().jetNumber, 3031);
    }
}

} // namespace
} // namespace storage
