#include "fakes.h"
#include "import/import_run.h"
#include "support/recording_provider.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace importer;
using testsupport::readFile;

namespace {

using Statements = std::vector<std::string>;

class ImportRunTest : public ::testing::Test {
protected:
    QString addFile(const std::string& name, const std::string& bytes) {
        const std::string path = dir.file(name);
        testsupport::writeFile(path, bytes);
        files.paths() << QString::fromStdString(path);
        return QString::fromStdString(path);
    }

    ImportOutcome run() { return importRun.start(); }
    QString logPath() const { return QString::fromStdString(dir.file("logs/import.log")); }

    testsupport::TempDir dir;
    testsupport::FakeOptions options;
    testsupport::FakeFiles files;
    testsupport::FakeTables tables;
    testsupport::ScriptedUi ui;
    testsupport::RecordingLog log;
    dataaccess::ProviderRegistry providers = testsupport::RecordingProvider::registry(log);
    ImportRun importRun{ImportEnvironment{options, files, tables, ui,
                                          [] {
                                              return QStringLiteral(
                                                  "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=/db.accdb;"
                                                  "JET OLEDB:Database Password=pw");
                                          },
                                          providers, QString::fromStdString(dir.file("logs/import.log"))}};
};

TEST_F(ImportRunTest, PreconditionsStopBeforeAnythingIsOpened) {
    EXPECT_EQ(run(), ImportOutcome::Refused);
    addFile("a.txt", "A\n1\n");
    options.appendMode(false);
    EXPECT_EQ(run(), ImportOutcome::Refused);
    options = {};
    tables.set({"NEWTABLE[COUNTER]"});
    EXPECT_EQ(run(), ImportOutcome::Refused);
    EXPECT_EQ(ui.messageTexts(),
              (QStringList{"No files added.", "Please select a table.", "Table name already exists."}));
    EXPECT_TRUE(log.opens.empty());
    EXPECT_TRUE(ui.pointers.empty());
}

TEST_F(ImportRunTest, CreateWithHeaderNamesGivesTheExactStatements) {
    addFile("a.txt", "Name,City\nAnna,Oslo\nO'Hara,Rome");
    tables.set({"Existing"});
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements, (Statements{"CREATE TABLE `NewTable1`(`Name` VARCHAR, `City` VARCHAR);",
                                          "INSERT INTO `NewTable1` VALUES('Anna','Oslo');",
                                          "INSERT INTO `NewTable1` VALUES('O''Hara','Rome');"}));
    EXPECT_EQ(ui.messageTexts(), QStringList{"Done."});
    EXPECT_EQ(tables.items(), (QStringList{"NewTable1", "Existing"}));
    ASSERT_EQ(log.opens.size(), 1u);
    EXPECT_EQ(log.opens[0].dataSource, "/db.accdb");
    EXPECT_EQ(log.opens[0].databasePassword, "pw");
    EXPECT_EQ(log.openModes[0], 3);
    EXPECT_EQ(log.closes, 1);
    EXPECT_EQ(ui.pointers, (std::vector<int>{pointer::kBusy, pointer::kDefault}));
    EXPECT_EQ(ui.eventsProcessed, 2 + 2 * 2) << "before each header field and each value";
    EXPECT_FALSE(std::filesystem::exists(logPath().toStdString()));
}

TEST_F(ImportRunTest, LineRulesOfCreateMode) {
    // Trailing line end, a blank line that is not empty, a short and a long row,
    // double quotes, an empty header field.
    addFile("a.txt", "ID,,Name\r\n\r\n   \r\n1\r\n1,2,3,4\r\n\"q\",x\r\n");
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(
        log.statements,
        (Statements{"CREATE TABLE `NewTable1`(`ID` VARCHAR, `Name` VARCHAR);",
                    "INSERT INTO `NewTable1` VALUES('   ','','');", "INSERT INTO `NewTable1` VALUES('1','','');",
                    "INSERT INTO `NewTable1` VALUES('1','2','3');", "INSERT INTO `NewTable1` VALUES('q','x','');"}));
}

TEST_F(ImportRunTest, SingleLineFileGivesNoRowInAnyMode) {
    addFile("a.txt", "only,line");
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements, Statements{"CREATE TABLE `NewTable1`(`only` VARCHAR, `line` VARCHAR);"});
    log.statements.clear();
    options.appendMode(false);
    tables.set({"T"}, 0);
    log.columnCounts["T"] = 2;
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_TRUE(log.statements.empty());
}

TEST_F(ImportRunTest, PromptedNamesMakeLineZeroARow) {
    options.option3 = false;
    options.option4 = true;
    addFile("a.txt", "Name,City\nAnna,Oslo\nBen,Rome\n");
    ui.answers = {"My Col", "Town!"};
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(ui.prompts, (QStringList{"Enter name for column #1:", "Enter name for column #2:"}));
    EXPECT_EQ(log.statements, (Statements{"CREATE TABLE `NewTable1`(`MyCol` VARCHAR, `Town` VARCHAR);",
                                          "INSERT INTO `NewTable1` VALUES('Name','City');",
                                          "INSERT INTO `NewTable1` VALUES('Anna','Oslo');",
                                          "INSERT INTO `NewTable1` VALUES('Ben','Rome');"}));
}

TEST_F(ImportRunTest, CancelledColumnNameEndsTheRunQuietly) {
    options.option3 = false;
    options.option4 = true;
    addFile("a.txt", "A\n1\n");
    addFile("b.txt", "B,C\n1,2\n");
    ui.answers = {"A", "B"}; // file 2 gets "B", then a cancel
    EXPECT_EQ(run(), ImportOutcome::Cancelled);
    EXPECT_EQ(log.statements,
              (Statements{"CREATE TABLE `NewTable1`(`A` VARCHAR);", "INSERT INTO `NewTable1` VALUES('A');",
                          "INSERT INTO `NewTable1` VALUES('1');"}));
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(std::filesystem::exists(logPath().toStdString()));
    EXPECT_EQ(ui.pointerNow, pointer::kDefault);
    EXPECT_EQ(tables.items(), QStringList{"NewTable1"}) << "the table of file 1 exists";
    EXPECT_EQ(log.closes, 2);
}

TEST_F(ImportRunTest, EachNewCounterNameGetsItsOwnTableAndAllAreListed) {
    options.text2 = "T[counter]";
    addFile("a.txt", "A,B\n1,2\n");
    addFile("b.txt", "C\n3\n");
    tables.set({"Old"});
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements,
              (Statements{"CREATE TABLE `T1`(`A` VARCHAR, `B` VARCHAR);", "INSERT INTO `T1` VALUES('1','2');",
                          "CREATE TABLE `T2`(`C` VARCHAR);", "INSERT INTO `T2` VALUES('3');"}));
    EXPECT_EQ(tables.items(), (QStringList{"T2", "T1", "Old"}));
}

TEST_F(ImportRunTest, FixedTableNameTakesLaterFilesWithAllTheirLines) {
    options.text2 = "Fixed";
    addFile("a.txt", "A,B\n1,2\n");
    addFile("b.txt", "A,B\n3,4\n");
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements,
              (Statements{"CREATE TABLE `Fixed`(`A` VARCHAR, `B` VARCHAR);", "INSERT INTO `Fixed` VALUES('1','2');",
                          "INSERT INTO `Fixed` VALUES('A','B');", "INSERT INTO `Fixed` VALUES('3','4');"}));
    EXPECT_EQ(tables.items(), QStringList{"Fixed"});
}

TEST_F(ImportRunTest, ListedCounterNameSkipsItsFileAndChangesTheFinalMessage) {
    options.text2 = "T[counter]";
    addFile("a.txt", "A\n1\n");
    addFile("b.txt", "A\n2\n");
    tables.set({"t2"});
    EXPECT_EQ(run(), ImportOutcome::TablesExisted);
    EXPECT_EQ(log.statements, (Statements{"CREATE TABLE `T1`(`A` VARCHAR);", "INSERT INTO `T1` VALUES('1');"}));
    EXPECT_EQ(ui.messageTexts(), QStringList{"Table(s) already exist."});
    EXPECT_EQ(tables.items(), (QStringList{"T1", "t2"}));
}

TEST_F(ImportRunTest, EmptyTemplateProducesNothingAndStillEndsDone) {
    options.text2 = "";
    addFile("a.txt", "A\n1\n");
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_TRUE(log.statements.empty());
    EXPECT_EQ(log.closes, 1);
}

TEST_F(ImportRunTest, AppendReadsTheColumnCountAndHonoursCheck2) {
    tables.set({"Orders", "Other"}, 0);
    log.columnCounts["Orders"] = 2;
    addFile("a.txt", "h1,h2\n1,2\n");
    addFile("b.txt", "3,4\n\n5\n");
    options.appendMode(false);
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements,
              (Statements{"INSERT INTO `Orders` VALUES('h1','h2');", "INSERT INTO `Orders` VALUES('1','2');",
                          "INSERT INTO `Orders` VALUES('3','4');", "INSERT INTO `Orders` VALUES('5','');"}));
    EXPECT_EQ(log.queries, (Statements{"SELECT * FROM `Orders`", "SELECT * FROM `Orders`"}));

    log.statements.clear();
    options.check2 = 1;
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements,
              (Statements{"INSERT INTO `Orders` VALUES('1','2');", "INSERT INTO `Orders` VALUES('5','');"}));
    EXPECT_EQ(tables.items(), (QStringList{"Orders", "Other"}));
}

TEST_F(ImportRunTest, AppendSkipsAFileWhoseColumnCountDiffers) {
    tables.set({"Orders"}, 0);
    log.columnCounts["Orders"] = 2;
    options.appendMode(false);
    const QString wide = addFile("wide.txt", "1,2,3\n4,5,6\n");
    addFile("ok.txt", "7,8\n");
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements, Statements{"INSERT INTO `Orders` VALUES('7','8');"});
    EXPECT_EQ(ui.messageTexts(),
              (QStringList{"The columns in the text file and the columns in the table must be identical.\r\n\r\n" +
                               wide + " was split by , and has 3 columns. The table Orders has 2 columns.",
                           "Done."}));
}

TEST_F(ImportRunTest, RefusedRowEndsTheRunWithMessageAndLog) {
    addFile("a.txt", "A\n1\n2\n");
    const QString b = addFile("b.txt", "x\ny\nz\n");
    addFile("c.txt", "never\nread\n");
    options.text2 = "T";
    log.failAtStatement = 6; // CREATE, a's two rows, then b's lines: its third row
    ui.pointerNow = pointer::kDefault;
    EXPECT_EQ(run(), ImportOutcome::Failed);
    EXPECT_EQ(log.statements.back(), "INSERT INTO `T` VALUES('z');");
    EXPECT_EQ(log.opens.size(), 2u) << "no third file";
    ASSERT_EQ(ui.messages.size(), 1u);
    const QString kept = "The rows of '" + b + "' up to line 2 are in the database; no later line of it was imported.";
    EXPECT_EQ(ui.messages[0].text, QString::fromStdString(log.statementFailure.description) + "\r\n\r\n" + kept +
                                       "\r\nPlease email the log file (" + logPath() + ") to the support");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(readFile(logPath().toStdString()), log.statementFailure.description + "\r\n\r\n" + kept.toStdString() +
                                                     "\r\nINSERT INTO `T` VALUES('z');\r\n");
    EXPECT_EQ(ui.pointerNow, pointer::kDefault);
    EXPECT_EQ(log.closes, 2);
    EXPECT_EQ(tables.items(), QStringList{"T"});
}

// Closing the connection commits the file; when that fails, the run fails and says what
// stayed: here the table's definition and the first row of the file, or nothing at all.
TEST_F(ImportRunTest, AFailedCommitAtTheEndOfAFileIsAFailureThatSaysWhatStayed) {
    const QString a = addFile("a.txt", "A\n1\n2\n");
    addFile("b.txt", "3\n");
    options.text2 = "T";
    log.failAtClose = 1;
    for (const std::uint64_t durable : {2u, 0u}) {
        SCOPED_TRACE(durable);
        log.statements.clear();
        log.closes = 0;
        log.durableWhenCloseFails = durable;
        ui.messages.clear();
        tables.set({});
        EXPECT_EQ(run(), ImportOutcome::Failed);
        EXPECT_EQ(log.statements.size(), 3u) << "b.txt is not read";
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_TRUE(ui.messages[0].text.startsWith(QString::fromStdString(log.closeFailure.description)));
        const QString kept = durable == 2 ? "The rows of '" + a + "' up to line 2 are in the database"
                                          : "No row of '" + a + "' was imported.";
        EXPECT_TRUE(ui.messages[0].text.contains(kept)) << ui.messages[0].text.toStdString();
        EXPECT_EQ(tables.items(), durable == 2 ? QStringList{"T"} : QStringList{})
            << "the table is listed only if it stayed";
    }
}

TEST_F(ImportRunTest, FailureBeforeAnyRowLogsAnEmptyRowText) {
    addFile("a.txt", "A\n1\n");
    log.openFailure = dataaccess::Error{-2147217843, "Not a valid password."};
    EXPECT_EQ(run(), ImportOutcome::Failed);
    EXPECT_EQ(readFile(logPath().toStdString()), "Not a valid password.\r\n\r\n");
    EXPECT_EQ(ui.pointers.back(), pointer::kDefault);
}

TEST_F(ImportRunTest, EmptyOrMissingFileTakesTheFailurePath) {
    const QString empty = addFile("empty.txt", "");
    EXPECT_EQ(run(), ImportOutcome::Failed);
    EXPECT_TRUE(ui.messages.at(0).text.contains(empty));
    files.paths() = {QString::fromStdString(dir.file("missing.txt"))};
    EXPECT_EQ(run(), ImportOutcome::Failed);
    EXPECT_TRUE(ui.messages.at(1).text.contains("missing.txt"));
    EXPECT_TRUE(log.statements.empty());
}

TEST_F(ImportRunTest, TooManyFieldsInLineZeroOverflows) {
    std::string wide(32768, ','); // 32769 fields
    addFile("wide.txt", wide + "\n1\n");
    EXPECT_EQ(run(), ImportOutcome::Failed);
    EXPECT_TRUE(log.statements.empty());

    // 32768 empty fields fit; they give no column, and the cut leaves a definition the database refuses.
    files.paths().clear();
    addFile("widest-allowed.txt", std::string(32767, ',') + "\n");
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements, Statements{"CREATE TABLE `NewTable1);"});
}

TEST_F(ImportRunTest, ASecondStartDuringARunDoesNothing) {
    addFile("a.txt", "A\n1\n2\n");
    int nested = 0;
    ui.onProcessEvents = [&] {
        if (importRun.start() == ImportOutcome::AlreadyRunning)
            ++nested;
    };
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_GT(nested, 0);
    EXPECT_EQ(log.statements.size(), 3u);
    ui.onProcessEvents = nullptr;
    EXPECT_EQ(run(), ImportOutcome::TablesExisted) << "the guard is released after the run; NewTable1 is listed now";
}

TEST_F(ImportRunTest, OptionsFilesAndTargetAreTakenWhenTheRunStarts) {
    options.text2 = "Fixed";
    addFile("a.txt", "A,B\n1,2\n3,4\n");
    int events = 0;
    ui.onProcessEvents = [&] {
        if (++events == 3) { // after the two header fields, before the first row is built
            options.text2 = "Renamed";
            options.option6 = false;
            options.option7 = true; // separator ":"
        }
    };
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements,
              (Statements{"CREATE TABLE `Fixed`(`A` VARCHAR, `B` VARCHAR);", "INSERT INTO `Fixed` VALUES('1','2');",
                          "INSERT INTO `Fixed` VALUES('3','4');"}));
    EXPECT_EQ(tables.items(), QStringList{"Fixed"});

    // Append mode: another table selected, the list emptied and the mode changed during the run.
    log.statements.clear();
    options = {};
    options.appendMode(false);
    tables.set({"Orders", "Other"}, 0);
    log.columnCounts = {{"Orders", 1}, {"Other", 1}};
    files.paths().clear();
    addFile("one.txt", "A\n1\n2\n");
    addFile("b.txt", "3\n4\n");
    events = 0;
    ui.onProcessEvents = [&] {
        if (++events == 1) {
            tables.setSelectedIndex(1);
            files.paths().clear();
            options.option1 = true;
            options.option2 = false;
            options.check2 = 1;
        }
    };
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements, (Statements{"INSERT INTO `Orders` VALUES('A');", "INSERT INTO `Orders` VALUES('1');",
                                          "INSERT INTO `Orders` VALUES('2');", "INSERT INTO `Orders` VALUES('3');",
                                          "INSERT INTO `Orders` VALUES('4');"}));
    EXPECT_EQ(log.queries, (Statements{"SELECT * FROM `Orders`", "SELECT * FROM `Orders`"}));
}

TEST_F(ImportRunTest, StopRequestEndsTheRunBeforeItsNextStatement) {
    tables.set({"Orders"}, 0);
    log.columnCounts["Orders"] = 1;
    options.appendMode(true);
    const QString first = addFile("a.txt", "H\n1\n2\n");
    const QString second = addFile("b.txt", "H\n3\n4\n5\n");
    addFile("c.txt", "H\n6\n");
    ui.onProcessEvents = [&] {
        if (log.statements.size() == 3) // the first row of the second file is in
            importRun.requestStop();
    };
    EXPECT_EQ(run(), ImportOutcome::Stopped);
    EXPECT_EQ(log.statements, (Statements{"INSERT INTO `Orders` VALUES('1');", "INSERT INTO `Orders` VALUES('2');",
                                          "INSERT INTO `Orders` VALUES('3');"}));
    EXPECT_EQ(log.opens.size(), 2u);
    EXPECT_EQ(log.closes, 2) << "the connection of the stopped file is closed, which commits its rows";
    EXPECT_EQ(ui.messageTexts(), QStringList{"The import was stopped. 1 row of \"" + second +
                                             "\" is in table \"Orders\".\r\n\r\n"
                                             "The files before it were imported whole:\r\n2 rows of \"" +
                                             first + "\" in table \"Orders\""});
    EXPECT_EQ(ui.pointerNow, pointer::kDefault);

    // A request is for one run only; the next run goes through. In create mode the table
    // defined before the stop is listed.
    ui.onProcessEvents = nullptr;
    importRun.requestStop();
    options = {};
    files.paths() = {first};
    tables.set({});
    log.statements.clear();
    ui.messages.clear();
    EXPECT_EQ(run(), ImportOutcome::Done);
    EXPECT_EQ(log.statements.size(), 3u);
    ui.onProcessEvents = [&] { importRun.requestStop(); };
    options.text2 = "Second";
    EXPECT_EQ(run(), ImportOutcome::Stopped);
    EXPECT_EQ(log.statements.back(), "CREATE TABLE `Second`(`H` VARCHAR);");
    EXPECT_EQ(ui.messageTexts().back(), "The import was stopped. 0 rows of \"" + first + "\" are in table \"Second\".");
    EXPECT_EQ(tables.items(), (QStringList{"Second", "NewTable1"}));
}

} // namespace
