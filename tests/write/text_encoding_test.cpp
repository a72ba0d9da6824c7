#include "database/storage/write/text_encoding.h"

#include "database/storage/format/text_codec.h"
#include "write_test_support.h"

#include <gtest/gtest.h>

namespace storage {
namespace {

using write_test::hex;
using write_test::toHex;

TEST(TextEncoding, StoredFormFollowsTheCompressionRule) {
    const struct {
        const char* text;
        bool allowed;
        const char* bytes;
    } cases[] = {
        {"Ann", true, "FF FE 41 6E 6E"},
        {"Ann", false, "41 00 6E 00 6E 00"},
        {"Ab", true, "41 00 62 00"},                             // two characters save nothing
        {"", true, ""},
        {"caf\xC3\xA9!", true, "FF FE 63 61 66 E9 21"},            // Latin-1 compresses
        {"\xC5\x81\xC3\xB3" "d\xC5\xBA", true, "41 01 F3 00 64 00 7A 01"}, // U+0141 rules compression out
        {"a\xF0\x9F\x98\x80" "a", true, "61 00 3D D8 00 DE 61 00"},        // surrogate pair, plain
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto bytes = encodeStoredText(c.text, c.allowed);
        ASSERT_TRUE(bytes.hasValue());
        EXPECT_EQ(toHex(*bytes), toHex(hex(c.bytes)));
        EXPECT_EQ(decodeStoredText(*bytes), c.text);
    }
}

TEST(TextEncoding, CompressionStopsAt1024Characters) {
    EXPECT_TRUE(isCompressible(std::u16string(1024, u'x')));
    EXPECT_FALSE(isCompressible(std::u16string(1025, u'x')));
    EXPECT_FALSE(isCompressible(u"ab\0c"));
    auto stored = encodeStoredText(std::string(1025, 'x'), true);
    ASSERT_TRUE(stored.hasValue());
    EXPECT_EQ(stored->size(), 2050u);
}

// Every form the writer produces must read back through the engine's own decoder.
TEST(TextEncoding, EncodedTextDecodesBackUnchanged) {
    const std::string samples[] = {
        "plain ASCII text",
        "\xC3\x80 la carte, na\xC3\xAFve \xC3\xBF",         // Latin-1
        "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0", // Cyrillic
        "\xE4\xB8\xAD\xE6\x96\x87 mixed with Latin",        // CJK and ASCII
        "emoji \xF0\x9F\x98\x80\xF0\x9F\x8E\x89 end",       // outside the BMP
        "\xEF\xBB\xBF" "starts with a byte-order mark",
    };
    for (const std::string& text : samples) {
        SCOPED_TRACE(text);
        for (bool allowed : {false, true}) {
            auto stored = encodeStoredText(text, allowed);
            ASSERT_TRUE(stored.hasValue()) << stored.error().description;
            EXPECT_EQ(decodeStoredText(*stored), text);
        }
        EXPECT_EQ(utf16leToUtf8(encodeUtf16le(text)), text);
    }
}

TEST(TextEncoding, MixedRunsSwitchAtEachChangeAndRefuseUnitsWithAZeroByte) {
    // "AB" + U+0141 + "C": compressed, switch, one unit, switch back.
    auto mixed = encodeMixedCompressed(u"AB\u0141C");
    ASSERT_TRUE(mixed.has_value());
    EXPECT_EQ(toHex(*mixed), "FF FE 41 42 00 41 01 00 43");
    EXPECT_EQ(decodeStoredText(*mixed), "AB\xC5\x81" "C");

    auto startsUncompressed = encodeMixedCompressed(u"\u4E2D\u6587x");
    ASSERT_TRUE(startsUncompressed.has_value());
    EXPECT_EQ(toHex(*startsUncompressed), "FF FE 00 2D 4E 87 65 00 78");

    for (const std::u16string& impossible : {std::u16string(u"a\u0100b"), std::u16string(u"\u4E00"),
                                             std::u16string(u"a\0b", 3)}) {
        EXPECT_FALSE(encodeMixedCompressed(impossible).has_value());
    }
}

TEST(TextEncoding, ByteOrderMarkFirstIsWrittenInMixedRunsOrRefused) {
    auto stored = encodeStoredText("\xEF\xBB\xBFok", false);
    ASSERT_TRUE(stored.hasValue());
    EXPECT_EQ(toHex(*stored), "FF FE 00 FF FE 00 6F 6B");

    auto refused = encodeStoredText("\xEF\xBB\xBF\xC4\x80", true); // U+FEFF U+0100
    ASSERT_FALSE(refused.hasValue());
    EXPECT_EQ(refused.error().kind, ErrorKind::NotSupported);
}

} // namespace
} // namespace storage
