#include "database/file_test.h"
#include "database/table_catalogue.h"

#include "recording_ui.h"
#include "support/recording_provider.h"
#include "support/temp_dir.h"

#include <QDir>

#include <gtest/gtest.h>

using database::AddTablesToAccessListbox;
using database::DatabaseFields;
using database::NonSystemTables;

namespace {

class TableCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::writeFile(m_dir.file("sales.accdb"), "not read by the recording provider");
        m_fields = DatabaseFields(QString::fromStdString(m_dir.file("sales.accdb")), "pw");
    }
    QString path() const { return m_fields.path(); }

    testsupport::TempDir m_dir;
    testsupport::RecordingLog m_log;
    dataaccess::ProviderRegistry m_providers = testsupport::RecordingProvider::registry(m_log);
    DatabaseFields m_fields;
    RecordingUi m_ui;
};

TEST_F(TableCatalogue, ListsOnlyUserTablesInRowsetOrder) {
    m_log.tables = {{"MSysObjects", "SYSTEM TABLE"}, {"Zeta", "TABLE"},        {"Orders 2024 (old)", "TABLE"},
                    {"Query1", "VIEW"},              {"lower", "table"},       {"Padded", " TABLE"},
                    {"Linked", "LINK"},              {"Alpha", "TABLE"},       {"Zeta", "TABLE"}};
    const auto names = NonSystemTables(path(), m_fields, m_ui, m_providers);
    ASSERT_TRUE(names.has_value());
    EXPECT_EQ(*names, QStringList({"Zeta", "Orders 2024 (old)", "Alpha", "Zeta"}));
    EXPECT_TRUE(m_ui.messages.empty());
    // Opened once with the window's path and password, and closed again.
    ASSERT_EQ(m_log.opens.size(), 1u);
    EXPECT_EQ(m_log.opens[0].dataSource, path().toStdString());
    EXPECT_EQ(m_log.opens[0].databasePassword, "pw");
    EXPECT_EQ(m_log.closes, 1);
}

TEST_F(TableCatalogue, DatabaseWithoutUserTablesGivesAnEmptyListNotNone) {
    m_log.tables = {{"MSysACEs", "SYSTEM TABLE"}};
    const auto names = NonSystemTables(path(), m_fields, m_ui, m_providers);
    ASSERT_TRUE(names.has_value());
    EXPECT_TRUE(names->isEmpty());

    MemoryListBox list;
    list.items = {"Old"};
    list.selected = 0;
    AddTablesToAccessListbox(list, path(), "pw", m_fields, m_ui, m_providers);
    EXPECT_TRUE(list.items.isEmpty());
    EXPECT_EQ(list.selected, -1);
}

TEST_F(TableCatalogue, MissingFileGivesNoneSilentlyWithoutOpening) {
    for (const QString& missing : {QString(), QString::fromStdString(m_dir.file("gone.mdb"))}) {
        SCOPED_TRACE(missing.toStdString());
        m_fields.setPath(missing);
        EXPECT_FALSE(NonSystemTables(missing, m_fields, m_ui, m_providers).has_value());
        MemoryListBox list;
        list.items = {"Kept"};
        AddTablesToAccessListbox(list, missing, "", m_fields, m_ui, m_providers);
        EXPECT_EQ(list.items, QStringList{"Kept"});
    }
    EXPECT_TRUE(m_ui.messages.empty());
    EXPECT_TRUE(m_log.opens.empty());
}

TEST_F(TableCatalogue, DatabaseThatDoesNotOpenShowsDescriptionAndNumber) {
    m_log.tables = {{"A", "TABLE"}};
    m_log.openFailure = dataaccess::Error{-2147217843, "Not a valid password."};
    MemoryListBox list;
    list.items = {"Earlier"};
    list.selected = 0;
    AddTablesToAccessListbox(list, path(), "wrong", m_fields, m_ui, m_providers);
    ASSERT_EQ(m_ui.messages.size(), 1u);
    EXPECT_EQ(m_ui.messages[0].text, "Not a valid password. (Error Number = -2147217843)");
    EXPECT_EQ(m_ui.messages[0].icon, importer::MessageIcon::None);
    EXPECT_EQ(m_ui.messages[0].title, ""); // the application title
    EXPECT_EQ(list.items, QStringList{"Earlier"});
    EXPECT_EQ(list.selected, 0);
}

TEST_F(TableCatalogue, ProviderMissingIsReportedLikeAnyOpenFailure) {
    dataaccess::ProviderRegistry none;
    EXPECT_FALSE(NonSystemTables(path(), m_fields, m_ui, none).has_value());
    ASSERT_EQ(m_ui.messages.size(), 1u);
    const dataaccess::Error expected = dataaccess::providerNotFoundError();
    EXPECT_EQ(m_ui.messages[0].text.toStdString(),
              expected.description + " (Error Number = " + std::to_string(expected.number) + ")");
}

TEST_F(TableCatalogue, FillingTwiceReplacesTheListAndSelectsTheFirst) {
    m_log.tables = {{"B", "TABLE"}, {"MSysQueries", "SYSTEM TABLE"}, {"A", "TABLE"}};
    MemoryListBox list;
    list.items = {"Stale"};
    AddTablesToAccessListbox(list, path(), "pw", m_fields, m_ui, m_providers);
    AddTablesToAccessListbox(list, path(), "pw", m_fields, m_ui, m_providers);
    EXPECT_EQ(list.items, QStringList({"B", "A"}));
    EXPECT_EQ(list.selected, 0);
    EXPECT_EQ(m_log.opens.size(), 2u);
}

TEST(FileTest, TrueForExistingFilesAndFoldersOnly) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("a.mdb"), "x");
    EXPECT_TRUE(database::FileTest(QString::fromStdString(dir.file("a.mdb"))));
    EXPECT_TRUE(database::FileTest(QString::fromStdString(dir.path().string())));
    EXPECT_FALSE(database::FileTest(QString()));
    EXPECT_FALSE(database::FileTest(QString::fromStdString(dir.file("b.mdb"))));
    EXPECT_FALSE(database::FileTest(QString::fromStdString(dir.file("no/such/folder/a.mdb"))));
    EXPECT_FALSE(database::FileTest(QString("bad") + QChar(0) + QString("name")));
}

} // namespace
