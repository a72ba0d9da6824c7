// The whole way from the database window to rows in a real Access database: the
// standard providers and our engine, no test doubles between the windows and the file.
#include "window_fixture.h"

#include "database/storage/create/new_database.h"
#include "database/storage/database.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/sql/parser.h"
#include "database/ui/database_window.h"
#include "filelist/ui/file_list_view.h"
#include "settings/setting_keys.h"
#include "windows/import_window.h"
#include "windows/start_up.h"

#include <QDir>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <functional>

#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

// Calls `action` with the number of the pass each time an import run lets the window's
// events through; the start button is disabled exactly while a run goes.
class DuringRun {
public:
    DuringRun(QPushButton& start, std::function<void(int)> action) {
        QObject::connect(&m_timer, &QTimer::timeout, [this, &start, action = std::move(action)] {
            if (!start.isEnabled())
                action(++m_passes);
        });
        m_timer.start(0);
    }
    int passes() const { return m_passes; }

private:
    QTimer m_timer;
    int m_passes = 0;
};

// A file of `count` lines "v1" to "v<count>", each a row of a one-column table.
std::string numberedLines(int count) {
    std::string text;
    for (int i = 1; i <= count; ++i)
        text += "v" + std::to_string(i) + "\n";
    return text;
}

class RealDatabaseImport : public testsupport::WindowFixture {
protected:
    RealDatabaseImport()
        : m_realServices{m_store,
                         m_dialogs,
                         dataaccess::ProviderRegistry::standard(),
                         QString::fromStdString(m_dir.path().string()),
                         QString::fromStdString(m_dir.file("import.log")),
                         [this] { ++m_programEnds; }},
          m_form1(m_realServices), m_slot(m_form1, m_realServices) {
        m_form1.setImportWindow(&m_slot);
    }

    // A writable copy of an Access-made database, or empty without the fixtures.
    std::string copyOf(const std::string& relative) {
        const fs::path from = fs::path(TARNWICK_FIXTURES_DIR) / relative;
        if (!fs::exists(from))
            return {};
        const std::string to = m_dir.file(from.filename().string());
        fs::copy_file(from, to);
        fs::permissions(to, fs::perms::owner_write, fs::perm_options::add);
        return to;
    }
    std::vector<std::string> rows(const std::string& path, const std::string& table, const std::string& password = {}) {
        auto database = storage::Database::open(path, storage::OpenOptions{password});
        EXPECT_TRUE(database);
        if (!database)
            return {};
        auto cursor = (*database)->openTable(table);
        EXPECT_TRUE(cursor) << table;
        if (!cursor)
            return {};
        std::vector<std::string> out;
        storage::Row row;
        while (cursor->next(row))
            out.push_back(storage::formatValue(row[0]) + "|" + storage::formatValue(row[1]));
        return out;
    }
    // A database our engine made, with the named tables of one text column each.
    std::string engineDatabase(const std::string& name, storage::FileFormat format, const std::string& password,
                               const std::vector<std::string>& tables) {
        const std::string path = m_dir.file(name);
        storage::NewDatabaseOptions options;
        options.format = format;
        options.password = password;
        EXPECT_TRUE(storage::createDatabase(path, options));
        storage::OpenOptions open;
        open.password = password;
        auto session = storage::DatabaseSession::open(path, open, storage::DatabaseSession::Access::ReadWrite);
        EXPECT_TRUE(session);
        if (!session)
            return path;
        for (const std::string& table : tables) {
            auto statement = storage::sql::parse("CREATE TABLE `" + table + "`(`A` VARCHAR)");
            EXPECT_TRUE(statement && (*session)->execute(*statement)) << table;
        }
        EXPECT_TRUE((*session)->close());
        return path;
    }
    void typeInto(const char* name, const std::string& text) {
        auto* edit = control<QLineEdit>(m_form1, name);
        edit->clear();
        QTest::keyClicks(edit, QString::fromStdString(text));
    }
    void pressNext() { QTest::mouseClick(control<QPushButton>(m_form1, "PushButton3"), Qt::LeftButton); }
    // Form1 opens `path` and moves on to the import window.
    gui::Form2* openInImportWindow(const std::string& path) {
        m_form1.show();
        typeInto("Text1", path);
        typeInto("Text2", "");
        pressNext();
        return m_slot.window();
    }
    // The values of the one-column table `table`, in the order the table holds them.
    std::vector<std::string> columnA(const std::string& path, const std::string& table) {
        auto database = storage::Database::open(path, storage::OpenOptions{});
        EXPECT_TRUE(database);
        if (!database)
            return {};
        auto cursor = (*database)->openTable(table);
        if (!cursor)
            return {};
        std::vector<std::string> out;
        storage::Row row;
        while (cursor->next(row))
            out.push_back(storage::formatValue(row[0]));
        return out;
    }
    static std::vector<std::string> firstValues(int count) {
        std::vector<std::string> values;
        for (int i = 1; i <= count; ++i)
            values.push_back("v" + std::to_string(i));
        return values;
    }
    void clickItem(QListWidget& list, int row) {
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(row)).center());
    }
    QStringList tableList() {
        QStringList names;
        for (int i = 0; i < m_slot.List1().count(); ++i)
            names << m_slot.List1().item(i);
        return names;
    }

    // The controls a run locks: the lists, the options and the buttons that change them or start a run.
    static constexpr const char* kRunLocked[] = {
        "ListView1", "PushButton2", "PushButton7", "PushButton3", "PushButton4", "Option5",
        "Option6",   "Option7",     "Text3",       "Option1",     "Option2",     "Option3",
        "Option4",   "Text2",       "List1",       "Check2",      "PushButton1", "PushButton5"};

    gui::WindowServices m_realServices;
    gui::Form1 m_form1;
    gui::ImportWindowSlot m_slot;
};

TEST_F(RealDatabaseImport, StartImportingFillsNewTablesOfAnAccdbInListOrder) {
    const std::string path = copyOf("ace14/empty2010.accdb");
    if (path.empty())
        GTEST_SKIP() << "no fixture folder";
    m_form1.show();
    auto* databaseField = control<QLineEdit>(m_form1, "Text1");
    databaseField->clear();
    QTest::keyClicks(databaseField, QString::fromStdString(path));
    QTest::mouseClick(control<QPushButton>(m_form1, "PushButton3"), Qt::LeftButton);
    gui::Form2* form2 = m_slot.window();
    ASSERT_NE(form2, nullptr) << m_dialogs.messageTexts().join(" | ").toStdString();
    EXPECT_TRUE(tableList().isEmpty());

    // Text files are Windows-1252.
    form2->ListView1().addEntry(writeTempFile("second.csv", "Name,City\n\xC9mile,Z\xFCrich\n"));
    form2->ListView1().addEntry(writeTempFile("first.csv", "Name,City\nAnna,Oslo\nO'Hara,Rome\n"));
    QTest::mouseClick(control<QRadioButton>(*form2, "Option6"), Qt::LeftButton); // ","
    QTest::mouseClick(control<QPushButton>(*form2, "PushButton1"), Qt::LeftButton);
    ASSERT_EQ(m_dialogs.messageTexts(), QStringList{"Done."});

    // The files went in as the list orders them, one new table each.
    EXPECT_EQ(rows(path, "NewTable1"), (std::vector<std::string>{"\xC3\x89mile|Z\xC3\xBCrich"}));
    EXPECT_EQ(rows(path, "NewTable2"), (std::vector<std::string>{"Anna|Oslo", "O'Hara|Rome"}));
    // Each new table went to the top of the table list: the last one made stands first.
    EXPECT_EQ(tableList(), QStringList({"NewTable2", "NewTable1"}));
}

TEST_F(RealDatabaseImport, NextReadsTheTablesOfEngineMadeDatabasesAndRefusesAWrongPassword) {
    const std::string guarded = engineDatabase("guarded.mdb", storage::FileFormat::Jet4, "se cret", {"Orders", "Lines"});
    const std::string other = engineDatabase("other.accdb", storage::FileFormat::Ace16, "", {"Stock"});
    m_form1.show();
    typeInto("Text1", guarded);
    typeInto("Text2", "wrong");
    pressNext();
    ASSERT_EQ(m_dialogs.messageTexts(), QStringList{"Not a valid password. (Error Number = -2147217843)"});
    EXPECT_TRUE(m_form1.isVisible());
    EXPECT_EQ(m_slot.window(), nullptr);

    typeInto("Text2", "se cret");
    pressNext();
    gui::Form2* form2 = m_slot.window();
    ASSERT_NE(form2, nullptr) << m_dialogs.messageTexts().join(" | ").toStdString();
    EXPECT_EQ(tableList(), QStringList({"Lines", "Orders"})); // as the tables rowset orders them
    EXPECT_EQ(m_slot.List1().selectedIndex(), 0);

    // "Switch Access Database" and back with another file.
    QTest::mouseClick(control<QPushButton>(*form2, "PushButton5"), Qt::LeftButton);
    EXPECT_TRUE(m_form1.isVisible());
    typeInto("Text1", other);
    typeInto("Text2", "");
    pressNext();
    EXPECT_EQ(m_slot.window(), form2);
    EXPECT_EQ(tableList(), QStringList{"Stock"});
    EXPECT_EQ(m_dialogs.messageTexts().size(), 1);
}

// A program died while writing to the database: "Next >" puts it back and goes on.
TEST_F(RealDatabaseImport, NextAfterACrashPutsTheDatabaseBackAndOpensIt) {
    const std::string path = engineDatabase("crashed.accdb", storage::FileFormat::Ace16, "", {"Kept"});
    const pid_t writer = fork();
    if (writer == 0) {
        auto session = storage::DatabaseSession::open(path, {}, storage::DatabaseSession::Access::ReadWrite);
        auto statement = storage::sql::parse("CREATE TABLE `Lost`(`A` VARCHAR)");
        _exit(session && statement && (*session)->execute(*statement) ? 0 : 1); // dies before its commit
    }
    int status = 0;
    waitpid(writer, &status, 0);
    ASSERT_EQ(status, 0);
    ASSERT_TRUE(fs::exists(path + "-journal"));

    m_form1.show();
    typeInto("Text1", path);
    typeInto("Text2", "");
    pressNext();
    ASSERT_NE(m_slot.window(), nullptr) << m_dialogs.messageTexts().join(" | ").toStdString();
    EXPECT_TRUE(m_dialogs.messageTexts().isEmpty());
    EXPECT_EQ(tableList(), QStringList{"Kept"});
    EXPECT_FALSE(fs::exists(path + "-journal"));
}

// "Open with Tarnwick": the database named on the command line takes the stored one's
// place, and "Next >" runs on it at once.
TEST_F(RealDatabaseImport, DatabaseGivenAtStartOpensInPlaceOfTheStoredOne) {
    const std::string storedPath = engineDatabase("stored.mdb", storage::FileFormat::Jet4, "", {"Old"});
    const std::string given = engineDatabase("given.accdb", storage::FileFormat::Ace16, "", {"Sales", "Stock"});
    m_store.save(settings::kSectionTarnwick, "Database", QString::fromStdString(storedPath));
    gui::Form1_Load(m_form1, m_realServices, QString::fromStdString(given));
    ASSERT_NE(m_slot.window(), nullptr) << m_dialogs.messageTexts().join(" | ").toStdString();
    EXPECT_TRUE(m_slot.window()->isVisible());
    EXPECT_FALSE(m_form1.isVisible());
    EXPECT_EQ(tableList(), QStringList({"Sales", "Stock"}));
    EXPECT_EQ(stored("Database"), QString::fromStdString(given)); // remembered as if typed
}

TEST_F(RealDatabaseImport, MissingDatabaseGivenAtStartWaitsInTheDatabaseWindow) {
    m_store.save(settings::kSectionTarnwick, "Database",
                 QString::fromStdString(engineDatabase("stored.mdb", storage::FileFormat::Jet4, "", {"Old"})));
    gui::Form1_Load(m_form1, m_realServices, tempFile("gone.accdb"));
    EXPECT_EQ(m_slot.window(), nullptr);
    EXPECT_EQ(m_form1.Text1().text(), tempFile("gone.accdb"));
    EXPECT_TRUE(m_dialogs.messageTexts().isEmpty());

    const QString here = QDir::currentPath();
    EXPECT_EQ(gui::databaseFromCommandLine({"tarnwick", "orders.mdb"}), here + "/orders.mdb");
    EXPECT_EQ(gui::databaseFromCommandLine({"tarnwick", "/data/orders.mdb"}), "/data/orders.mdb");
    EXPECT_EQ(gui::databaseFromCommandLine({"tarnwick"}), "");
    EXPECT_EQ(gui::databaseFromCommandLine({"tarnwick", "a.mdb", "b.mdb"}), "");
}

TEST_F(RealDatabaseImport, AppendRunIsNotChangedByTheWindowAndItsControlsWaitForItsEnd) {
    const std::string path = engineDatabase("orders.mdb", storage::FileFormat::Jet4, "", {"Orders", "Other"});
    gui::Form2* form2 = openInImportWindow(path);
    ASSERT_NE(form2, nullptr) << m_dialogs.messageTexts().join(" | ").toStdString();
    form2->ListView1().addEntry(writeTempFile("a.txt", numberedLines(300)));
    form2->ListView1().addEntry(writeTempFile("b.txt", numberedLines(200)));
    QTest::mouseClick(control<QRadioButton>(*form2, "Option2"), Qt::LeftButton);
    auto* list1 = control<QListWidget>(*form2, "List1");
    const int orders = tableList().indexOf("Orders");
    const int other = 1 - orders;
    ASSERT_EQ(tableList().value(other), "Other");
    clickItem(*list1, orders);
    ASSERT_EQ(m_slot.List1().selectedText(), "Orders");

    auto* start = control<QPushButton>(*form2, "PushButton1");
    QStringList lockedDuringRun;
    int busyPasses = 0;
    DuringRun duringRun(*start, [&](int pass) {
        if (pass == 1)
            for (const char* name : kRunLocked)
                if (!control<QWidget>(*form2, name)->isEnabled())
                    lockedDuringRun << name;
        if (form2->pointer().state() == importer::pointer::kBusy)
            ++busyPasses;
        // The user tries the list and the options; the program itself changes them too.
        clickItem(*list1, other);
        QTest::mouseClick(control<QCheckBox>(*form2, "Check2"), Qt::LeftButton);
        list1->setCurrentRow(other);
        control<QCheckBox>(*form2, "Check2")->setChecked(true);
        form2->ListView1().addEntry(tempFile("a.txt"));
    });
    QStringList captions; // each with the number of messages shown at that moment
    QObject::connect(form2, &QWidget::windowTitleChanged, [&](const QString& title) {
        captions << title + "@" + QString::number(m_dialogs.messages.size());
    });
    QTest::mouseClick(start, Qt::LeftButton);
    ASSERT_GT(duringRun.passes(), 0);
    EXPECT_EQ(m_dialogs.messageTexts(), QStringList{"Done."});

    // Every line of both files went to the table selected when the run started.
    std::vector<std::string> expected = firstValues(300);
    const std::vector<std::string> second = firstValues(200);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(columnA(path, "Orders"), expected);
    EXPECT_TRUE(columnA(path, "Other").empty());

    EXPECT_EQ(lockedDuringRun.size(), std::size(kRunLocked)) << lockedDuringRun.join(" ").toStdString();
    EXPECT_EQ(busyPasses, duringRun.passes());
    // Afterwards the append rules hold again, with what was changed during the run.
    for (const char* name : kRunLocked) {
        SCOPED_TRACE(name);
        const std::string_view controlName = name;
        const bool createOnly = controlName == "Option3" || controlName == "Option4" || controlName == "Text2";
        EXPECT_EQ(control<QWidget>(*form2, name)->isEnabled(), !createOnly);
    }
    EXPECT_EQ(form2->pointer().state(), importer::pointer::kDefault);
    // The progress reached 100 % and the caption was plain again before "Done." appeared.
    ASSERT_GE(captions.size(), 2);
    EXPECT_EQ(captions.last(), "Tarnwick@0");
    EXPECT_EQ(captions[captions.size() - 2], "Tarnwick - file 2 of 2, 100 %@0");
    EXPECT_EQ(form2->windowTitle(), "Tarnwick");
}

TEST_F(RealDatabaseImport, CreateRunKeepsTheTableNameItStartedWith) {
    const std::string path = engineDatabase("create.accdb", storage::FileFormat::Ace16, "", {});
    gui::Form2* form2 = openInImportWindow(path);
    ASSERT_NE(form2, nullptr) << m_dialogs.messageTexts().join(" | ").toStdString();
    form2->ListView1().addEntry(writeTempFile("a.txt", "A\n" + numberedLines(400)));
    auto* text2 = control<QLineEdit>(*form2, "Text2");
    DuringRun duringRun(*control<QPushButton>(*form2, "PushButton1"), [&](int) {
        QTest::keyClicks(text2, "x");
        QTest::mouseClick(control<QRadioButton>(*form2, "Option4"), Qt::LeftButton);
        text2->setText(text2->text() + "y");
        control<QRadioButton>(*form2, "Option6")->setChecked(true);
    });
    QTest::mouseClick(control<QPushButton>(*form2, "PushButton1"), Qt::LeftButton);
    ASSERT_GT(duringRun.passes(), 0);
    EXPECT_EQ(m_dialogs.messageTexts(), QStringList{"Done."});
    EXPECT_TRUE(m_dialogs.prompts.isEmpty());
    EXPECT_EQ(columnA(path, "NewTable1"), firstValues(400));
    EXPECT_EQ(tableList(), QStringList{"NewTable1"});
    EXPECT_EQ(text2->text(), "NewTable[counter]" + QString(duringRun.passes(), QLatin1Char('y')));
    EXPECT_TRUE(text2->isEnabled());
}

TEST_F(RealDatabaseImport, ClosingEitherWindowDuringARunAsksAndNoLetsItGoOn) {
    const std::string path = engineDatabase("goes-on.mdb", storage::FileFormat::Jet4, "", {"Orders"});
    gui::Form2* form2 = openInImportWindow(path);
    ASSERT_NE(form2, nullptr) << m_dialogs.messageTexts().join(" | ").toStdString();
    form2->ListView1().addEntry(writeTempFile("a.txt", numberedLines(5000)));
    QTest::mouseClick(control<QRadioButton>(*form2, "Option2"), Qt::LeftButton);
    DuringRun duringRun(*control<QPushButton>(*form2, "PushButton1"), [&](int pass) {
        if (pass == 1)
            form2->close();
        if (pass == 2)
            m_form1.close();
    });
    m_dialogs.questionAnswers = {false, false};
    QTest::mouseClick(control<QPushButton>(*form2, "PushButton1"), Qt::LeftButton);
    ASSERT_GE(duringRun.passes(), 2);
    EXPECT_EQ(m_dialogs.questions, QStringList(2, gui::Form2::kStopImportQuestion));
    EXPECT_EQ(m_dialogs.messageTexts(), QStringList{"Done."});
    EXPECT_EQ(columnA(path, "Orders"), firstValues(5000));
    EXPECT_TRUE(form2->isVisible());
    EXPECT_EQ(m_programEnds, 0);

    // Without a run, closing ends the program at once, without a question.
    form2->close();
    EXPECT_EQ(m_programEnds, 1);
    EXPECT_EQ(m_dialogs.questions.size(), 2);
}

TEST_F(RealDatabaseImport, YesStopsTheRunAtAStatementKeepsAPrefixAndEndsTheProgram) {
    const std::string path = engineDatabase("stopped.accdb", storage::FileFormat::Ace16, "", {"Orders"});
    gui::Form2* form2 = openInImportWindow(path);
    ASSERT_NE(form2, nullptr) << m_dialogs.messageTexts().join(" | ").toStdString();
    const int lineCount = 20000;
    form2->ListView1().addEntry(writeTempFile("first.txt", numberedLines(50)));
    const QString file = writeTempFile("big.txt", numberedLines(lineCount));
    form2->ListView1().addEntry(file);
    form2->ListView1().addEntry(writeTempFile("never.txt", numberedLines(10)));
    QTest::mouseClick(control<QRadioButton>(*form2, "Option2"), Qt::LeftButton);
    // Closed once the caption shows the big file: the first file and a row of the big one are in.
    bool closed = false;
    DuringRun duringRun(*control<QPushButton>(*form2, "PushButton1"), [&](int) {
        if (!closed && m_dialogs.messages.empty() && form2->windowTitle().contains("file 2 of 3")) {
            closed = true;
            m_dialogs.questionAnswers = {true};
            form2->close();
        }
    });
    QTest::mouseClick(control<QPushButton>(*form2, "PushButton1"), Qt::LeftButton);
    ASSERT_TRUE(closed);
    EXPECT_EQ(m_dialogs.questions, QStringList{gui::Form2::kStopImportQuestion});
    EXPECT_EQ(m_programEnds, 1);

    ASSERT_EQ(m_dialogs.messageTexts().size(), 1);
    const QString told = m_dialogs.messageTexts().front();
    const QRegularExpression pattern(
        "^The import was stopped\\. (\\d+) rows? of \"" + QRegularExpression::escape(file) +
        "\" (is|are) in table \"Orders\"\\.\r\n\r\nThe files before it were imported whole:\r\n50 rows of \"" +
        QRegularExpression::escape(tempFile("first.txt")) + "\" in table \"Orders\"$");
    const QRegularExpressionMatch match = pattern.match(told);
    ASSERT_TRUE(match.hasMatch()) << told.toStdString();
    const int kept = match.captured(1).toInt();
    EXPECT_GT(kept, 0);
    EXPECT_LT(kept, lineCount);

    // What the message says is in the database: the first file whole and a prefix of the big one.
    std::vector<std::string> expected = firstValues(50);
    const std::vector<std::string> prefix = firstValues(kept);
    expected.insert(expected.end(), prefix.begin(), prefix.end());
    EXPECT_EQ(columnA(path, "Orders"), expected);
    EXPECT_TRUE(control<QPushButton>(*form2, "PushButton1")->isEnabled());
    EXPECT_EQ(form2->windowTitle(), "Tarnwick");
}

// An encrypted .accdb, as new-database makes it with a password: the password field
// opens it, and the import goes in encrypted.
TEST_F(RealDatabaseImport, AnEncryptedAccdbOpensWithItsPasswordAndTakesTheImport) {
    const std::string path = engineDatabase("encrypted.accdb", storage::FileFormat::Ace16, "Open Sesame", {"Stock"});
    m_form1.show();
    typeInto("Text1", path);
    typeInto("Text2", "open sesame");
    pressNext();
    ASSERT_EQ(m_dialogs.messageTexts(), QStringList{"Not a valid password. (Error Number = -2147217843)"});
    EXPECT_EQ(m_slot.window(), nullptr);

    typeInto("Text2", "Open Sesame");
    pressNext();
    gui::Form2* form2 = m_slot.window();
    ASSERT_NE(form2, nullptr) << m_dialogs.messageTexts().join(" | ").toStdString();
    EXPECT_EQ(tableList(), QStringList{"Stock"});
    form2->ListView1().addEntry(writeTempFile("secret.csv", "Name,City\nQuokkaAnna,Oslo\n"));
    QTest::mouseClick(control<QRadioButton>(*form2, "Option6"), Qt::LeftButton); // ","
    QTest::mouseClick(control<QPushButton>(*form2, "PushButton1"), Qt::LeftButton);
    ASSERT_EQ(m_dialogs.messageTexts().last(), "Done.");
    EXPECT_EQ(rows(path, "NewTable1", "Open Sesame"), (std::vector<std::string>{"QuokkaAnna|Oslo"}));
    EXPECT_FALSE(testsupport::holdsText(testsupport::readFile(path), "QuokkaAnna"));
}

} // namespace
