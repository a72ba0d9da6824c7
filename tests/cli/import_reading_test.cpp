// tarnwick-cli import with --text-qualifier and --encoding, and the summary of a run: each
// file goes into a new database and is read back with dump and with mdbtools.

#include "cli/csv_writer.h"
#include "support/commands.h"
#include "support/temp_dir.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace std::string_literals;
using Rows = std::vector<std::vector<std::string>>; // the column names first

class ImportReading : public ::testing::Test {
protected:
    struct Run {
        bool succeeded;
        std::string output; // standard output and standard error
    };

    // tarnwick-cli with `arguments`; a failed run's log goes into the test's folder.
    Run cli(const std::string& arguments) {
        Run run;
        run.succeeded = testsupport::runCommand("XDG_DATA_HOME=" + testsupport::shellQuote(dir.file("data")) + " " +
                                                    TARNWICK_CLI + " " + arguments + " 2>&1",
                                                run.output);
        return run;
    }

    // A new database holding table T of `bytes` imported with `flags`.
    Run importNew(const std::string& name, const std::string& bytes, const std::string& flags) {
        database = dir.file(name + ".accdb");
        EXPECT_TRUE(cli("new-database " + testsupport::shellQuote(database)).succeeded);
        const std::string input = dir.file(name + ".csv");
        testsupport::writeFile(input, bytes);
        return cli("import " + testsupport::shellQuote(database) + " --separator , " + flags + " " +
                   testsupport::shellQuote(input));
    }

    // Table T as dump and as mdb-export read it, against the rows expected.
    void expectTable(const std::string& table, const Rows& expected) {
        std::string dumped;
        std::string dumpExpected;
        std::string exportExpected;
        for (const auto& row : expected) {
            std::vector<std::optional<std::string>> record(row.begin(), row.end());
            dumpExpected += cli::csvRecord(record);
            for (std::size_t i = 0; i < row.size(); ++i)
                exportExpected += (i > 0 ? "|" : "") + row[i];
            exportExpected += "#\n";
        }
        EXPECT_TRUE(testsupport::runCommand(
            std::string(TARNWICK_CLI) + " dump " + testsupport::shellQuote(database) + " " + table, dumped));
        EXPECT_EQ(dumped, dumpExpected);
        if (!testsupport::haveMdbtools())
            return;
        std::string exported;
        EXPECT_TRUE(testsupport::runCommand(
            "mdb-export -Q -d '|' -R '#\n' " + testsupport::shellQuote(database) + " " + table, exported));
        EXPECT_EQ(exported, exportExpected);
    }

    testsupport::TempDir dir;
    std::string database;
};

std::string encoded(const char* encoding, const char* text) {
    QStringEncoder encoder(encoding);
    return QByteArray(encoder.encode(QString::fromUtf8(text))).toStdString();
}

TEST_F(ImportReading, ATextQualifierKeepsEveryValueAsTheFileHoldsIt) {
    const std::string quoted = "Name,\"City, Town\",Note\r\n"
                               "\"Smith, John\",Oslo,\"say \"\"hi\"\"\"\r\n"
                               "\"two\r\nlines\",\"x\ny\",\r\n"
                               "\"\",a\"b,\r\n";
    const struct {
        std::string name;
        std::string bytes;
        std::string flags;
        Rows rows;
    } cases[] = {
        {"qualified",
         quoted,
         "--text-qualifier '\"'",
         {{"Name", "CityTown", "Note"},
          {"Smith, John", "Oslo", "say \"hi\""},
          {"two\r\nlines", "x\ny", ""},
          {"", "a\"b", ""}}},
        // Without the option every separator cuts, and double quotes are dropped.
        {"literal",
         quoted,
         "",
         {{"Name", "City", "Town", "Note"},
          {"Smith", " John", "Oslo", "say hi"},
          {"two", "", "", ""},
          {"lines", "x", "", ""},
          {"y", "", "", ""},
          {"", "ab", "", ""}}},
        // Windows-1252 unless told otherwise.
        {"ansi",
         "Name,Note\n\"M\xFCller, J\xF6rg\",\x80"
         "5\n",
         "--text-qualifier '\"'",
         {{"Name", "Note"}, {"Müller, Jörg", "€5"}}},
        // Another qualifier, and quoted names in the first record.
        {"apostrophes", "'A,1','B'\n'it''s',\"x\"\n", "--text-qualifier \"'\"", {{"A1", "B"}, {"it's", "\"x\""}}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        const Run run = importNew(each.name, each.bytes, each.flags + " --create T");
        EXPECT_TRUE(run.succeeded) << run.output;
        expectTable("T", each.rows);
    }

    const Run unclosed = importNew("unclosed", "A,B\n1,2\n3,\"open\n4,5\n", "--text-qualifier '\"' --create T");
    EXPECT_FALSE(unclosed.succeeded);
    EXPECT_NE(unclosed.output.find("The file '" + dir.file("unclosed.csv") +
                                   "' ends inside a quoted field that begins on line 3: its closing \" is missing."),
              std::string::npos)
        << unclosed.output;
    std::string dumped;
    EXPECT_FALSE(testsupport::runCommand(
        std::string(TARNWICK_CLI) + " dump " + testsupport::shellQuote(database) + " T 2>/dev/null", dumped));
}

TEST_F(ImportReading, EncodingsAreReadByNameOrDetected) {
    // The columns are named apart, so that the first line is a row: a mark left in it would show.
    const char* latin = "Name,City\nAnna,Zürich\n";
    const Rows latinRows{{"Name", "City"}, {"Anna", "Zürich"}};
    const std::string cyrillic = encoded("windows-1251", "Name,City\nАнна,Москва\n");
    const std::string japanese = encoded("Shift_JIS", "Name,City\n花子,東京\n");
    const std::string bom = "\xEF\xBB\xBF";
    const struct {
        std::string name;
        std::string bytes;
        std::string encoding;
        Rows rows;
    } cases[] = {
        {"utf8", latin, "utf-8", latinRows},
        {"utf8-bom", bom + latin, "utf-8", latinRows},
        {"utf16le", "\xFF\xFE"s + encoded("UTF-16LE", latin), "utf-16", latinRows},
        {"utf16be", "\xFE\xFF"s + encoded("UTF-16BE", latin), "utf-16", latinRows},
        {"cp1251", cyrillic, "windows-1251", {{"Name", "City"}, {"Анна", "Москва"}}},
        {"sjis", japanese, "Shift_JIS", {{"Name", "City"}, {"花子", "東京"}}},
        {"auto-utf8", latin, "auto", latinRows},
        {"auto-utf8-bom", bom + latin, "auto", latinRows},
        {"auto-utf16le", "\xFF\xFE"s + encoded("UTF-16LE", latin), "auto", latinRows},
        {"auto-utf16be", "\xFE\xFF"s + encoded("UTF-16BE", latin), "auto", latinRows},
        // Neither marked nor valid UTF-8: Windows-1252.
        {"auto-cp1251", cyrillic, "auto", {{"Name", "City"}, {"Àííà", "Ìîñêâà"}}},
        {"auto-sjis", japanese, "auto", {{"Name", "City"}, {"‰ÔŽq", "“Œ‹ž"}}},
        // The literal rules read a byte-order mark as Windows-1252 text.
        {"literal-bom", bom + latin, "windows-1252", {{"ï»¿Name", "City"}, {"Anna", "ZÃ¼rich"}}},
    };
    for (const auto& each : cases) {
        SCOPED_TRACE(each.name);
        const Run run =
            importNew(each.name, each.bytes, "--encoding " + each.encoding + " --create T --columns-from-prompt A,B");
        EXPECT_TRUE(run.succeeded) << run.output;
        Rows expected{{"A", "B"}};
        expected.insert(expected.end(), each.rows.begin(), each.rows.end());
        expectTable("T", expected);
    }

    // Both options together: quoted UTF-16 with a separator and a line break inside.
    const Run both =
        importNew("both", "\xFF\xFE"s + encoded("UTF-16LE", "Name,Note\r\n\"Müller, Jörg\",\"a\r\nb\"\r\n"),
                  "--encoding utf-16 --text-qualifier '\"' --create T");
    EXPECT_TRUE(both.succeeded) << both.output;
    expectTable("T", {{"Name", "Note"}, {"Müller, Jörg", "a\r\nb"}});
}

TEST_F(ImportReading, AHeaderWithAByteOrderMarkIsSkippedWhenAppending) {
    ASSERT_TRUE(importNew("table", "Name,City\n", "--create T").succeeded);
    const std::string input = dir.file("marked.csv");
    testsupport::writeFile(input, "\xEF\xBB\xBF\"Name\",\"City\"\r\n\"Ødegård, Ola\",Bergen\r\n");
    const std::string flags = " --separator , --encoding auto --text-qualifier '\"' --append T ";
    const Run skipped =
        cli("import " + testsupport::shellQuote(database) + flags + "--skip-header " + testsupport::shellQuote(input));
    EXPECT_TRUE(skipped.succeeded) << skipped.output;
    // Without --skip-header the header is a row, and its first value has no mark.
    const Run kept = cli("import " + testsupport::shellQuote(database) + flags + testsupport::shellQuote(input));
    EXPECT_TRUE(kept.succeeded) << kept.output;
    expectTable("T", {{"Name", "City"}, {"Ødegård, Ola", "Bergen"}, {"Name", "City"}, {"Ødegård, Ola", "Bergen"}});
}

TEST_F(ImportReading, EveryRunEndsWithASummaryAndBadOptionsAreRefusedFirst) {
    ASSERT_TRUE(importNew("summary", "A,B\n1,2\n3,4\n", "--create T").succeeded);
    const std::string good = dir.file("summary.csv");
    const std::string wide = dir.file("wide.csv");
    const std::string unclosed = dir.file("unclosed.csv");
    testsupport::writeFile(wide, "1,2,3\n");
    testsupport::writeFile(unclosed, "5,6\n\"7,8\n");
    const Run run =
        cli("import " + testsupport::shellQuote(database) + " --separator , --text-qualifier '\"' " +
            "--append T --skip-header " + testsupport::shellQuote(good) + " " + testsupport::shellQuote(wide) + " " +
            testsupport::shellQuote(unclosed) + " " + testsupport::shellQuote(good));
    EXPECT_FALSE(run.succeeded);
    const std::string summary = "Summary:\n  " + good + ": 2 rows\n  " + wide +
                                ": skipped: 3 fields, but the table \"T\" has 2 columns\n  " + unclosed +
                                ": failed: The file '" + unclosed +
                                "' ends inside a quoted field that begins on line 2: its closing \" is missing.\n  " +
                                good + ": not read: the run ended before it\n2 rows in ";
    EXPECT_NE(run.output.find(summary), std::string::npos) << run.output;
    EXPECT_EQ(run.output.substr(run.output.size() - 8), " rows/s\n") << run.output;

    const struct {
        std::string flags;
        std::string message;
    } refused[] = {
        {"--encoding klingon", "Unknown encoding \"klingon\""},
        {"--text-qualifier '\"\"'", "The text qualifier \"\"\"\" is not one character"},
        {"--separator '\", ' --text-qualifier '\"'", "is part of the separator"},
    };
    for (const auto& each : refused) {
        SCOPED_TRACE(each.flags);
        // The database does not exist: the refusal comes before anything is opened.
        const Run refusal = cli("import " + testsupport::shellQuote(dir.file("none.accdb")) + " " + each.flags +
                                " --create T " + testsupport::shellQuote(good));
        EXPECT_FALSE(refusal.succeeded);
        EXPECT_NE(refusal.output.find(each.message), std::string::npos) << refusal.output;
        EXPECT_EQ(refusal.output.find("Summary:"), std::string::npos) << refusal.output;
    }
}

} // namespace
