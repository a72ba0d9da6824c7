// The import run, as the windows and the command line drive it, over files whose every
// operation fails in turn: once with an I/O error, or a full disk from there on. Then the
// database is opened again through tarnwick-cli, as the user would, and what the user was
// told agrees with what it holds: "Done." only when every row is there; otherwise the
// failure message, which names the last line kept, and the rows are exactly the lines up
// to it.

#include "check_test_support.h"
#include "database/dataaccess/storage_provider.h"
#include "database/storage/create/new_database.h"
#include "faulty_files.h"
#include "import/import_run.h"
#include "import/in_memory_lists.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace checktest {
namespace {

namespace fs = std::filesystem;

// Create mode under one fixed name: the first file defines the table from its first line,
// the second adds all its lines.
struct Options : importer::ImportOptions {
    bool Option1() const override { return true; }
    bool Option2() const override { return false; }
    bool Option3() const override { return true; }
    bool Option4() const override { return false; }
    bool Option5() const override { return false; }
    bool Option6() const override { return true; }
    bool Option7() const override { return false; }
    int Check2() const override { return 0; }
    QString Text2() const override { return QStringLiteral("Lines"); }
    QString Text3() const override { return QString(); }
};

struct Ui : importer::UserInterface {
    QStringList messages;
    void messageBox(const QString& text, importer::MessageIcon, const QString&) override { messages << text; }
    QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }
    int mousePointer() const override { return 0; }
    void setMousePointer(int) override {}
    void processEvents() override {}
};

struct RunResult {
    importer::ImportOutcome outcome;
    QStringList messages;
};

class ImportRunFaults : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(TARNWICK_CLI))
            GTEST_SKIP() << "tarnwick-cli not built";
        // Rows 1-30 in the first file under its header, 31-60 in the second; each long
        // enough that the rows fill several pages.
        for (int file = 0; file < 2; ++file) {
            std::ofstream out(folder.file(file == 0 ? "a.txt" : "b.txt"));
            if (file == 0)
                out << "Number,Text\n";
            for (int row = 1; row <= 30; ++row)
                out << file * 30 + row << "," << std::string(200, static_cast<char>('a' + row % 26)) << "\n";
        }
    }

    std::string newDatabase() {
        const std::string path = folder.file("run.accdb");
        fs::remove(path);
        fs::remove(path + "-journal");
        EXPECT_TRUE(storage::createDatabase(path, {}));
        return path;
    }

    RunResult import(const std::string& path, Faults& faults) {
        Options options;
        importer::InMemoryFileList files(
            {QString::fromStdString(folder.file("a.txt")), QString::fromStdString(folder.file("b.txt"))});
        importer::InMemoryTableList tables;
        Ui ui;
        dataaccess::ProviderRegistry providers;
        providers.add("Microsoft.ACE.OLEDB.12.0",
                      std::make_shared<dataaccess::StorageProvider>(storage::Engine::Ace, faultyLayer(path, faults)));
        importer::ImportRun run(importer::ImportEnvironment{
            options, files, tables, ui,
            [&] {
                return QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=") + QString::fromStdString(path);
            },
            providers, QString::fromStdString(folder.file("import.log"))});
        const importer::ImportOutcome outcome = run.start();
        return {outcome, ui.messages};
    }

    // The first column of the table's rows as `tarnwick-cli dump` reads them, after
    // `tarnwick-cli tables` opened the database first; nullopt when there is no table.
    std::optional<std::vector<int>> numbersAfterReopening(const std::string& path) {
        std::string tables;
        EXPECT_TRUE(
            testsupport::runCommand(std::string(TARNWICK_CLI) + " tables " + testsupport::shellQuote(path), tables));
        EXPECT_FALSE(fs::exists(path + "-journal")) << "opening left the journal";
        if (tables.find("Lines") == std::string::npos)
            return std::nullopt;
        std::string csv;
        EXPECT_TRUE(testsupport::runCommand(
            std::string(TARNWICK_CLI) + " dump " + testsupport::shellQuote(path) + " Lines", csv));
        std::vector<int> numbers;
        std::istringstream lines(csv);
        std::string line;
        std::getline(lines, line); // the header
        while (std::getline(lines, line))
            numbers.push_back(std::stoi(line.substr(0, line.find(','))));
        const CheckResult check = checkFile(path);
        EXPECT_TRUE(check.opened) << check.openError;
        EXPECT_EQ(faultTexts(check.report), std::vector<std::string>());
        EXPECT_EQ(check.report.leakedPages, std::vector<uint32_t>());
        return numbers;
    }

    // Every operation of a clean run failed in turn under `mode`.
    void failEveryOperation(Faults::Mode mode) {
        Faults none;
        const std::string clean = newDatabase();
        const RunResult done = import(clean, none);
        ASSERT_EQ(done.outcome, importer::ImportOutcome::Done) << done.messages.join('\n').toStdString();
        ASSERT_EQ(numbersAfterReopening(clean)->size(), 60u);
        ASSERT_GT(none.operations(), 10);

        int failures = 0;
        for (int failAt = 1; failAt <= none.operations(); ++failAt) {
            if (mode == Faults::Mode::DiskFull && !none.grew(failAt))
                continue;
            SCOPED_TRACE("operation " + std::to_string(failAt) + " of " + std::to_string(none.operations()));
            const std::string path = newDatabase();
            Faults faults(mode, failAt);
            const RunResult run = import(path, faults);
            const std::optional<std::vector<int>> numbers = numbersAfterReopening(path);
            const std::size_t kept = numbers ? numbers->size() : 0;
            for (std::size_t i = 0; i < kept; ++i)
                ASSERT_EQ((*numbers)[i], static_cast<int>(i) + 1) << "the rows are not the first lines";
            if (run.outcome == importer::ImportOutcome::Done) {
                EXPECT_EQ(kept, 60u) << "\"Done.\" with rows missing";
                continue;
            }
            ++failures;
            ASSERT_EQ(run.outcome, importer::ImportOutcome::Failed);
            ASSERT_FALSE(run.messages.isEmpty());
            // What the message says was kept: the rows up to a line of a file, or none of one.
            const QString message = run.messages.last();
            const QRegularExpressionMatch upTo =
                QRegularExpression(QStringLiteral("'[^']*/(a|b)\\.txt' up to line (\\d+) are in")).match(message);
            const QRegularExpressionMatch nothing =
                QRegularExpression(QStringLiteral("No row of '[^']*/(a|b)\\.txt' was imported")).match(message);
            std::size_t told = 0;
            if (upTo.hasMatch())
                told = upTo.captured(1) == QLatin1String("a") ? upTo.captured(2).toULongLong() - 1
                                                              : 30 + upTo.captured(2).toULongLong();
            else if (nothing.hasMatch())
                told = nothing.captured(1) == QLatin1String("a") ? 0 : 30;
            else
                ADD_FAILURE() << "the message does not say which rows were kept: " << message.toStdString();
            EXPECT_EQ(kept, told) << message.toStdString();
        }
        EXPECT_GT(failures, 0);
    }

    testsupport::TempDir folder;
};

TEST_F(ImportRunFaults, AnIoErrorAtAnyOperationIsToldWithTheRowsKept) {
    failEveryOperation(Faults::Mode::Once);
}

TEST_F(ImportRunFaults, AFullDiskIsToldWithTheRowsKept) {
    failEveryOperation(Faults::Mode::DiskFull);
}

} // namespace
} // namespace checktest
