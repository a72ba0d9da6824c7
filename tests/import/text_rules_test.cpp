#include "fakes.h"
#include "import/ansi_code_page.h"
#include "import/text_rules.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace importer;

namespace {

QStringList split(const char* line, const char* separator) {
    return SplitFields(QString::fromUtf8(line), QString::fromUtf8(separator));
}

TEST(SplitFields, CutsAtEveryExactOccurrenceKeepingEmptyPieces) {
    struct Case {
        const char* line;
        const char* separator;
        QStringList fields;
    };
    const Case cases[] = {
        {"a, b,c", ", ", {"a", "b,c"}},
        {"a, b,c", ",", {"a", " b", "c"}},
        {"a,,b,", ",", {"a", "", "b", ""}},
        {",a", ",", {"", "a"}},
        {"x\"y,\"z,w\"", ",", {"x\"y", "\"z", "w\""}}, // quotes protect nothing
        {"a::b:::c", "::", {"a", "b", ":c"}},           // occurrences do not overlap
        {"aXbxc", "x", {"aXb", "c"}},                   // case-sensitive
        {"whole line", "", {"whole line"}},
        {"", ",", {}},
        {"", "", {}},
        {"   ", ",", {"   "}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " | " + c.separator);
        EXPECT_EQ(split(c.line, c.separator), c.fields);
    }
}

TEST(SeparatorFromOptions, FirstSelectedOptionWinsAndTabIsSpelledExactly) {
    testsupport::FakeOptions options;
    options.option5 = options.option6 = options.option7 = false;
    EXPECT_EQ(SeparatorFromOptions(options), "");
    options.option7 = true;
    options.text3 = "{TAB}";
    EXPECT_EQ(SeparatorFromOptions(options), "\t");
    options.text3 = "{tab}";
    EXPECT_EQ(SeparatorFromOptions(options), "{tab}");
    options.text3 = " ; ";
    EXPECT_EQ(SeparatorFromOptions(options), " ; ");
    options.text3 = "";
    EXPECT_EQ(SeparatorFromOptions(options), "");
    options.option6 = true;
    EXPECT_EQ(SeparatorFromOptions(options), ",");
    options.option5 = true;
    EXPECT_EQ(SeparatorFromOptions(options), ", ");
}

TEST(RowValueList, PadsWithEmptyValuesAndCutsExtraFields) {
    EXPECT_EQ(RowValueList({"a", "b"}, 3), "'a','b','','',");
    EXPECT_EQ(RowValueList({"a", "b", "c"}, 1), "'a','b',");
    EXPECT_EQ(RowValueList({"a"}, -1), "");
    EXPECT_EQ(RowValueList({}, 0), "'',");
    EXPECT_EQ(QuoteValue("O'Hara"), "'O''Hara'");
    EXPECT_EQ(QuoteValue("''"), "''''''");
    EXPECT_EQ(QuoteValue("50% \\ \t"), "'50% \\ \t'");
}

TEST(StripDoubleQuotes, RemovesEveryDoubleQuote) {
    EXPECT_EQ(StripDoubleQuotes("INSERT INTO `a\"b` VALUES('x\"y','\"');"), "INSERT INTO `ab` VALUES('xy','');");
}

TEST(ReadTextLines, SplitsAtLineFeedsAfterDroppingEveryCarriageReturn) {
    testsupport::TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        QStringList lines;
    };
    const Case cases[] = {
        {"crlf", "h1,h2\r\n1,2\r\n", {"h1,h2", "1,2", ""}},
        {"lf", "h1,h2\n1,2", {"h1,h2", "1,2"}},
        {"cr-only", "a\rb\rc", {"abc"}},
        {"cr-inside", "a\rb\nc", {"ab", "c"}},
        {"single", "no line feed", {"no line feed"}},
        {"empty", "", {}},
        {"only-cr", "\r", {}},
        {"blank-lines", "\n\n", {"", "", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        testsupport::writeFile(path, c.bytes);
        std::optional<ReadFailure> failure;
        EXPECT_EQ(ReadTextLines(QString::fromStdString(path), &failure), c.lines);
        EXPECT_FALSE(failure);
    }
}

TEST(ReadTextLines, ConvertsFromTheAnsiCodePageWithoutDetectingEncodings) {
    testsupport::TempDir dir;
    const std::string path = dir.file("ansi.txt");
    // A UTF-8 byte-order mark and UTF-8 text are read as Windows-1252 bytes.
    testsupport::writeFile(path, "\xEF\xBB\xBF" "caf\xC3\xA9\n\x80\x93\xE9\xFF");
    std::optional<ReadFailure> failure;
    const QStringList lines = ReadTextLines(QString::fromStdString(path), &failure);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QString::fromUtf8("\xC3\xAF\xC2\xBB\xC2\xBF" "caf\xC3\x83\xC2\xA9"));
    EXPECT_EQ(lines[1], QString::fromUtf8("\xE2\x82\xAC\xE2\x80\x9C\xC3\xA9\xC3\xBF"));
    EXPECT_EQ(AnsiCodePage::encode(lines[1]), QByteArray("\x80\x93\xE9\xFF"));
}

TEST(ReadTextLines, ReportsAFileThatCannotBeRead) {
    testsupport::TempDir dir;
    std::optional<ReadFailure> failure;
    const QString missing = QString::fromStdString(dir.file("missing.txt"));
    EXPECT_TRUE(ReadTextLines(missing, &failure).isEmpty());
    ASSERT_TRUE(failure);
    EXPECT_TRUE(failure->description.contains(missing));
}

} // namespace
