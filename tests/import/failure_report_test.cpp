#include "fakes.h"
#include "import/failure_report.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace importer;

namespace {

TEST(ColumnMismatchMessage, NamesFileSeparatorAndBothCounts) {
    EXPECT_EQ(columnMismatchMessage("C:\\data\\a.txt", ",", 3, "Orders", 2),
              "The columns in the text file and the columns in the table must be identical.\r\n\r\n"
              "C:\\data\\a.txt was split by , and has 3 columns. The table Orders has 2 columns.");
    EXPECT_TRUE(columnMismatchMessage("/a", "\t", 1, "T", 2).contains("split by \t and has 1 columns"));
}

TEST(ApplicationErrorText, ShowsLocationAndStep) {
    EXPECT_EQ(applicationErrorText("Boom", kLocationNonSystemTables, 106),
              "Boom\r\nin Quellbrook.Access.NonSystemTables at line 106\r\rPlease email screenshot of this "
              "message to " + kSupportEmail);
    testsupport::ScriptedUi ui;
    showApplicationError(ui, "Boom", kLocationNextButton, 102);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].title, "Application Error");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
}

TEST(FileReadWrite, WritesTruncatesAppendsAndReadsBack) {
    testsupport::TempDir dir;
    const QString path = QString::fromStdString(dir.file("log.txt"));
    QString text = QString::fromUtf8("first \xC3\xA9");
    EXPECT_EQ(FileReadWrite(path, text, filemode::kWrite), 0);
    EXPECT_EQ(testsupport::readFile(path.toStdString()), "first \xE9\r\n");
    text = "second";
    EXPECT_EQ(FileReadWrite(path, text, filemode::kWrite), 0);
    text = "third";
    EXPECT_EQ(FileReadWrite(path, text, filemode::kAppend), 0);
    QString read;
    EXPECT_EQ(FileReadWrite(path, read, filemode::kRead), 0);
    EXPECT_EQ(read, "second\r\nthird\r\n");
    EXPECT_EQ(FileReadWrite(path, read, 4), 0);
}

TEST(FileReadWrite, GivesErrorNumbersInsteadOfFailing) {
    testsupport::TempDir dir;
    QString text;
    EXPECT_EQ(FileReadWrite(QString::fromStdString(dir.file("missing")), text, filemode::kRead), 53);
    EXPECT_NE(FileReadWrite(QString::fromStdString(dir.file("no/such/folder/log")), text, filemode::kWrite), 0);
}

TEST(ReportImportFailure, ShowsTheMessageAndOverwritesTheLog) {
    testsupport::TempDir dir;
    const QString logPath = QString::fromStdString(dir.file("sub/import.log"));
    testsupport::ScriptedUi ui;
    reportImportFailure(ui, "Bad thing", "INSERT INTO `T` VALUES('a');", logPath);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, "Bad thing\r\nPlease email the log file (" + logPath + ") to the support");
    EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(testsupport::readFile(logPath.toStdString()), "Bad thing\r\nINSERT INTO `T` VALUES('a');\r\n");

    reportImportFailure(ui, "Other", "", logPath);
    EXPECT_EQ(testsupport::readFile(logPath.toStdString()), "Other\r\n\r\n");
}

} // namespace
