// The whole way from the database window to rows in a real Access database: the
// standard providers and our engine, no test doubles between the windows and the file.
#include "window_fixture.h"

#include "database/storage/create/new_database.h"
#include "database/storage/database.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/sql/parser.h"
#include "database/ui/database_window.h"
#include "filelist/ui/file_list_view.h"
#include "windows/import_window.h"
#include "windows/start_up.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

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
    QStringList tableList() {
        QStringList names;
        for (int i = 0; i < m_slot.List1().count(); ++i)
            names << m_slot.List1().item(i);
        return names;
    }

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
