#include "import/ansi_code_page.h"
#include "import/row_statement_builder.h"
#include "import/text_lines.h"
#include "import/text_rules.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

using namespace importer;

namespace {

// What the run sent before statements were built in one pass: the rules one by one.
std::string bySteps(const QString& table, const QString& line, const QString& separator, int lastIndex) {
    QString statement = "INSERT INTO `" + table + "` VALUES(" + RowValueList(SplitFields(line, separator), lastIndex);
    statement.chop(1); // the last comma, or with no value the "("
    return StripDoubleQuotes(statement + ");").toStdString();
}

TEST(RowStatementBuilder, GivesWhatTheTextRulesGiveStepByStep) {
    struct Case {
        const char* line;
        const char* separator;
        int lastIndex;
    };
    const Case cases[] = {
        {"a, b,c", ", ", 1},        // the separator cuts only where it matches whole
        {"a,,b,", ",", 3},          // empty fields kept
        {"a,b", ",", 3},            // missing fields become ''
        {"a,b,c,d", ",", 1},        // extra fields dropped
        {"O'Hara,x\"y,\"", ",", 2}, // quotes doubled, double quotes removed
        {"whole line", "", 0},      // no separator
        {"caf\xC3\xA9;\xE2\x82\xAC;\xF0\x9F\x98\x80;\xC3\xBF", ";", 3}, // beyond ASCII, a surrogate pair
        {"a\tb", "\t", 1},
        {"x::y::", "::", 2},
        {"x:y:::z:", "::", 2}, // the separator's first character alone does not cut
        {"a,b", ",", -1},      // no column: the list's "(" goes with its last character
    };
    RowStatementBuilder reused(QStringLiteral(","), 3);
    const AnsiCodePage::ByteTable& codePage = *AnsiCodePage::singleByteTable();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const QString line = QString::fromUtf8(c.line);
        const QString separator = QString::fromUtf8(c.separator);
        const std::string expected = bySteps(QStringLiteral("T\"ab'le"), line, separator, c.lastIndex);
        std::string built;
        RowStatementBuilder(separator, c.lastIndex).build(QStringLiteral("T\"ab'le"), line, built);
        EXPECT_EQ(built, expected);

        // From the line's bytes in the code page, where it can hold the line.
        const QByteArray bytes = AnsiCodePage::encode(line);
        if (AnsiCodePage::decode(bytes) == line) {
            RowStatementBuilder fromBytes(separator, c.lastIndex);
            ASSERT_TRUE(fromBytes.build(QStringLiteral("T\"ab'le"), bytes.toStdString(), codePage, built));
            EXPECT_EQ(built, expected);
        }
    }
    // A separator the code page cannot hold, or a carriage return in it, needs the characters.
    std::string unused;
    EXPECT_FALSE(RowStatementBuilder(QString::fromUtf8("\xE2\x86\x92"), 1).build("T", "a", codePage, unused));
    EXPECT_FALSE(RowStatementBuilder(QStringLiteral("\r"), 1).build("T", "a", codePage, unused));
    // A builder used for row after row, with the table's name changing between rows.
    std::string built;
    for (const char* table : {"First", "First", "Second"}) {
        reused.build(QString::fromUtf8(table), QStringLiteral("1,2"), built);
        EXPECT_EQ(built, bySteps(QString::fromUtf8(table), QStringLiteral("1,2"), QStringLiteral(","), 3));
    }
}

TEST(TextLines, ConvertLineByLineAsTheWholeFileConverts) {
    testsupport::TempDir dir;
    const std::string path = dir.file("lines.txt");
    testsupport::writeFile(path, "h1,h2\r\n\x80\xE9,\x93x\r\n\r\n\rlast");
    const QString name = QString::fromStdString(path);
    const QString whole = AnsiCodePage::decode(QByteArray("h1,h2\r\n\x80\xE9,\x93x\r\n\r\n\rlast")).remove('\r');
    const QStringList expected = whole.split('\n');

    std::optional<ReadFailure> failure;
    const TextLines lines = TextLines::read(name, &failure);
    EXPECT_FALSE(failure);
    EXPECT_EQ(lines.toList(), expected);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_FALSE(lines.lineIsEmpty(1));
    EXPECT_TRUE(lines.lineIsEmpty(2));
    EXPECT_FALSE(lines.lineIsEmpty(3));
    // Bytes are offered for lines whose only carriage return ends them, without it.
    EXPECT_EQ(lines.plainBytes(1), std::string_view("\x80\xE9,\x93x"));
    EXPECT_EQ(lines.plainBytes(2), std::string_view());
    EXPECT_EQ(lines.plainBytes(3), std::nullopt);

    // A code page of more than one byte per character is converted whole, as before.
    const QByteArray previous = AnsiCodePage::name();
    if (AnsiCodePage::select("Shift_JIS")) {
        ASSERT_EQ(AnsiCodePage::singleByteTable(), nullptr);
        testsupport::writeFile(path, "\x83\x65\x83\x58\x83\x67,a\r\nb\n");
        const TextLines japanese = TextLines::read(name, &failure);
        EXPECT_EQ(japanese.toList(),
                  QStringList({QString::fromUtf8("\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88,a"), "b", ""}));
        AnsiCodePage::select(previous);
    }
}

} // namespace
