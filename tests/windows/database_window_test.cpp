#include "window_fixture.h"

#include "database/ui/database_window.h"
#include "filelist/ui/file_list_view.h"
#include "windows/import_window.h"
#include "windows/splash.h"
#include "windows/start_up.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

namespace {

using testsupport::WindowFixture;

class DatabaseWindow : public WindowFixture {
protected:
    DatabaseWindow() : m_form1(m_services), m_slot(m_form1, m_services) { m_form1.setImportWindow(&m_slot); }

    QStringList tableList() {
        QStringList names;
        importer::TableList& list = m_slot.List1();
        for (int i = 0; i < list.count(); ++i)
            names << list.item(i);
        return names;
    }
    void typeInto(const char* name, const QString& text) {
        auto* edit = control<QLineEdit>(m_form1, name);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    void pressNext() { QTest::mouseClick(control<QPushButton>(m_form1, "PushButton3"), Qt::LeftButton); }

    gui::Form1 m_form1;
    gui::ImportWindowSlot m_slot;
};

TEST_F(DatabaseWindow, NextFillsTheTableListAndMovesToTheImportWindow) {
    const QString database = writeTempFile("sales.accdb", "x");
    m_log.tables = {{"MSysObjects", "SYSTEM TABLE"}, {"Orders", "TABLE"}, {"Query1", "VIEW"},
                    {"Customers", "TABLE"}, {"table", "table"}};
    gui::Form1_Load(m_form1, m_services);
    m_form1.show();
    typeInto("Text1", database);
    typeInto("Text2", "pa ss");
    EXPECT_EQ(stored("Database"), database);
    EXPECT_EQ(stored("Password"), "pa ss");

    pressNext();
    ASSERT_NE(m_slot.window(), nullptr);
    EXPECT_TRUE(m_slot.window()->isVisible());
    EXPECT_FALSE(m_form1.isVisible());
    EXPECT_EQ(tableList(), QStringList({"Orders", "Customers"}));
    EXPECT_EQ(m_slot.List1().selectedIndex(), 0);
    EXPECT_TRUE(m_dialogs.messages.empty());
    // The catalogue was read twice, each time with the fields as they stand.
    ASSERT_EQ(m_log.opens.size(), 2u);
    EXPECT_EQ(m_log.opens[1].dataSource, database.toStdString());
    EXPECT_EQ(m_log.opens[1].databasePassword, "pa ss");
    EXPECT_EQ(m_log.opens[1].provider, "Microsoft.ACE.OLEDB.12.0");
    EXPECT_EQ(m_log.closes, 2);
}

TEST_F(DatabaseWindow, EnterInEitherFieldDoesNextAndOnAButtonPressesIt) {
    const QString database = writeTempFile("sales.accdb", "x");
    m_log.tables = {{"Orders", "TABLE"}};
    typeInto("Text1", database);
    for (const char* field : {"Text1", "Text2"}) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            SCOPED_TRACE(field);
            m_form1.show();
            QTest::keyClick(control<QLineEdit>(m_form1, field), key);
            ASSERT_NE(m_slot.window(), nullptr);
            EXPECT_TRUE(m_slot.window()->isVisible());
            EXPECT_FALSE(m_form1.isVisible());
            m_slot.window()->hide();
        }
    }
    m_form1.show();
    auto* next = control<QPushButton>(m_form1, "PushButton3");
    next->setFocus();
    QTest::keyClick(next, Qt::Key_Return);
    EXPECT_TRUE(m_slot.window()->isVisible());
    m_slot.window()->hide();

    m_form1.show();
    auto* browse = control<QPushButton>(m_form1, "PushButton5");
    browse->setFocus();
    QTest::keyClick(browse, Qt::Key_Return);
    EXPECT_EQ(m_dialogs.fileRequests.size(), 1u);
}

TEST_F(DatabaseWindow, WrongPasswordShowsOneMessageAndTheWindowStays) {
    m_form1.show();
    typeInto("Text1", writeTempFile("old.mdb", "x"));
    m_log.openFailure = dataaccess::Error{-2147217843, "Not a valid password."};
    pressNext();
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].text, "Not a valid password. (Error Number = -2147217843)");
    EXPECT_EQ(m_dialogs.messages[0].title, "Tarnwick");
    EXPECT_EQ(m_dialogs.messages[0].icon, importer::MessageIcon::None);
    EXPECT_TRUE(m_form1.isVisible());
    EXPECT_EQ(m_slot.window(), nullptr); // the import window was never needed
}

TEST_F(DatabaseWindow, PathWithoutAFileDoesNothing) {
    m_form1.show();
    for (const QString& path : {QString(), tempFile("missing.accdb")}) {
        SCOPED_TRACE(path.toStdString());
        typeInto("Text1", path);
        pressNext();
    }
    EXPECT_TRUE(m_dialogs.messages.empty());
    EXPECT_TRUE(m_log.opens.empty());
    EXPECT_TRUE(m_form1.isVisible());
    EXPECT_EQ(m_slot.window(), nullptr);
}

TEST_F(DatabaseWindow, SwitchingBackToAnotherDatabaseReplacesOnlyTheTables) {
    m_log.tables = {{"First", "TABLE"}, {"Second", "TABLE"}};
    m_form1.show();
    typeInto("Text1", writeTempFile("one.mdb", "x"));
    pressNext();
    gui::Form2* form2 = m_slot.window();
    ASSERT_NE(form2, nullptr);
    form2->ListView1().addEntry("/data/a.txt");
    QTest::mouseClick(control<QPushButton>(*form2, "PushButton5"), Qt::LeftButton);
    EXPECT_TRUE(m_form1.isVisible());
    EXPECT_FALSE(form2->isVisible());

    m_log.tables = {{"Other", "TABLE"}};
    typeInto("Text1", writeTempFile("two.accdb", "x"));
    pressNext();
    EXPECT_EQ(m_slot.window(), form2); // the same window, shown again
    EXPECT_TRUE(form2->isVisible());
    EXPECT_EQ(tableList(), QStringList{"Other"});
    EXPECT_EQ(form2->ListView1().count(), 1);
    EXPECT_EQ(m_log.opens.back().dataSource, tempFile("two.accdb").toStdString());
}

TEST_F(DatabaseWindow, BrowseSetsThePathUnlessCancelled) {
    m_form1.show();
    typeInto("Text1", "/kept.mdb");
    m_dialogs.fileAnswers = {QString(), "/chosen/db.accdb"};
    auto* browse = control<QPushButton>(m_form1, "PushButton5");
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(m_form1.path(), "/kept.mdb");
    EXPECT_EQ(stored("Database"), "/kept.mdb");
    QTest::mouseClick(browse, Qt::LeftButton);
    EXPECT_EQ(m_form1.path(), "/chosen/db.accdb");
    EXPECT_EQ(stored("Database"), "/chosen/db.accdb");

    ASSERT_EQ(m_dialogs.fileRequests.size(), 2u);
    const gui::FileDialogRequest& request = m_dialogs.fileRequests[0];
    EXPECT_EQ(request.title, "Select Access Database");
    EXPECT_EQ(request.fileName, "");
    ASSERT_EQ(request.nameFilters.size(), 3);
    EXPECT_EQ(request.nameFilters[0], "All Microsoft Databases (*.mdb *.accdb)");
}

TEST_F(DatabaseWindow, FieldsSelectAllOnFocusAndThePasswordIsMasked) {
    m_store.save(settings::kSectionTarnwick, "Database", "/no/such.mdb");
    m_store.save(settings::kSectionTarnwick, "Password", "secret");
    gui::Form1_Load(m_form1, m_services);
    m_form1.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_form1));
    m_form1.activateWindow();
    EXPECT_EQ(m_form1.path(), "/no/such.mdb");
    EXPECT_EQ(m_form1.password(), "secret");
    EXPECT_EQ(m_form1.Text2().echoMode(), QLineEdit::Password);
    EXPECT_EQ(m_form1.Text2().displayText(), "******");
    // "Next >" comes first in the tab order and holds the focus when the window opens.
    EXPECT_TRUE(control<QPushButton>(m_form1, "PushButton3")->hasFocus());
    m_form1.Text1().deselect();
    m_form1.Text1().setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(m_form1.Text1().selectedText(), "/no/such.mdb");
    m_form1.Text2().deselect();
    QTest::keyClick(&m_form1.Text1(), Qt::Key_Tab);
    EXPECT_TRUE(m_form1.Text2().hasFocus());
    EXPECT_EQ(m_form1.Text2().selectedText(), "secret");
    // The restore went through the change handling and stored nothing new.
    EXPECT_EQ(stored("Password"), "secret");
    // A path that names no file leaves the window waiting.
    EXPECT_EQ(m_slot.window(), nullptr);
}

TEST_F(DatabaseWindow, StoredDatabaseThatExistsOpensTheImportWindowAtLoad) {
    m_store.save(settings::kSectionTarnwick, "Database", writeTempFile("kept.accdb", "x"));
    m_log.tables = {{"Kept", "TABLE"}};
    gui::Form1_Load(m_form1, m_services);
    ASSERT_NE(m_slot.window(), nullptr);
    EXPECT_TRUE(m_slot.window()->isVisible());
    EXPECT_FALSE(m_form1.isVisible());
    EXPECT_EQ(tableList(), QStringList{"Kept"});
}

// Notes each step of Form1's load the first time it shows: through the window's own
// events, the web-site visit and the opening of the database. The skin and the centring
// raise no event of their own and are seen at whatever happens next.
class StartUpSteps : public QObject {
public:
    StartUpSteps(gui::Form1& form1, gui::WindowServices& services, dataaccess::ProviderRegistry& providers,
                 testsupport::RecordingLog& log)
        : m_form1(form1) {
        services.webSiteVisit = {[this] {
                                     note();
                                     return true;
                                 },
                                 [this](const QString&) { note("web site"); }};
        auto provider = std::make_shared<NotingProvider>(*this, log);
        providers.add("Microsoft.ACE.OLEDB.12.0", provider);
        providers.add("Microsoft.Jet.OLEDB.4.0", provider);
        connect(&form1.Text1(), &QLineEdit::textChanged, this, [this] { note("stored path"); });
        connect(&form1.Text2(), &QLineEdit::textChanged, this, [this] { note("stored password"); });
        qApp->installEventFilter(this);
    }
    ~StartUpSteps() override { qApp->removeEventFilter(this); }

    QStringList steps;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        note();
        const bool shown = event->type() == QEvent::Show;
        // Creating the native window (for the splash, a child of Form1) announces the empty
        // caption and icon as well; only a real one counts.
        if (watched == &m_form1 && event->type() == QEvent::WindowTitleChange && !m_form1.windowTitle().isEmpty())
            note("caption");
        else if (watched == &m_form1 && event->type() == QEvent::WindowIconChange && !m_form1.windowIcon().isNull())
            note("icon");
        else if (watched == &m_form1 && event->type() == QEvent::CursorChange)
            note("hand pointer");
        else if (watched == &m_form1 && shown)
            note("database window shown");
        else if (shown && qobject_cast<gui::Splash*>(watched))
            note("splash");
        else if (shown && qobject_cast<gui::Form2*>(watched))
            note("import window shown");
        return false;
    }

private:
    class NotingProvider : public testsupport::RecordingProvider {
    public:
        NotingProvider(StartUpSteps& steps, testsupport::RecordingLog& log) : RecordingProvider(log), m_steps(steps) {}
        dataaccess::Status open(const dataaccess::ConnectionProperties& properties, int mode,
                                std::unique_ptr<dataaccess::Session>& session) override {
            m_steps.note("database opened");
            return RecordingProvider::open(properties, mode, session);
        }

    private:
        StartUpSteps& m_steps;
    };

    void note(const QString& step) {
        note();
        if (!steps.contains(step))
            steps << step;
    }
    void note() {
        if (m_form1.backgroundRole() == QPalette::Button && !steps.contains("skin"))
            steps << "skin";
        const QPoint offCentre = m_form1.frameGeometry().center() - m_form1.screen()->geometry().center();
        if (offCentre.manhattanLength() <= 2 && !steps.contains("centring"))
            steps << "centring";
    }

    gui::Form1& m_form1;
};

TEST_F(DatabaseWindow, LoadTakesItsStepsInOrderAndEndsWithTheImportWindowInFront) {
    QDir().mkpath(tempFile("x"));
    writeTempFile("x/o.cjs", "skin");
    QDir().mkpath(tempFile("Splash"));
    ASSERT_TRUE(QImage(40, 30, QImage::Format_RGB32).save(tempFile("Splash/a.png"), "PNG"));
    m_store.save(settings::kSectionName, "Name", gui::kAuthorName); // the short splash
    m_store.save(settings::kSectionTarnwick, "Database", writeTempFile("kept.accdb", "x"));
    m_store.save(settings::kSectionTarnwick, "Password", "pw");
    StartUpSteps recorder(m_form1, m_services, m_providers, m_log);

    gui::Form1_Load(m_form1, m_services);
    const QStringList expected{"skin",
                               "centring",
                               "web site",
                               "splash",
                               "caption",
                               "icon",
                               "hand pointer",
                               "stored path",
                               "stored password",
                               "database opened",
                               "import window shown"};
    EXPECT_EQ(recorder.steps, expected) << recorder.steps.join(", ").toStdString();
    ASSERT_NE(m_slot.window(), nullptr);
    EXPECT_TRUE(m_slot.window()->isVisible());
    EXPECT_FALSE(m_form1.isVisible());
    EXPECT_EQ(m_log.opens.front().databasePassword, "pw");
}

TEST_F(DatabaseWindow, EachWindowCarriesItsOwnIcon) {
    EXPECT_TRUE(m_form1.windowIcon().isNull()); // until the load gives it one
    gui::Form1_Load(m_form1, m_services);
    const QSize side(32, 32);
    QList<QImage> pictures;
    for (const QIcon& icon : {m_form1.windowIcon(), m_slot.form2().windowIcon()}) {
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.availableSizes(), QList<QSize>{side});
        pictures << icon.pixmap(side).toImage().convertToFormat(QImage::Format_ARGB32);
    }
    EXPECT_NE(pictures[0], pictures[1]);
    // Plain colours with a transparency mask: every pixel is opaque or clear.
    const QImage& form2Picture = pictures[1];
    int opaque = 0;
    int translucent = 0;
    for (int y = 0; y < form2Picture.height(); ++y) {
        for (int x = 0; x < form2Picture.width(); ++x) {
            const int alpha = qAlpha(form2Picture.pixel(x, y));
            opaque += alpha == 255;
            translucent += alpha != 0 && alpha != 255;
        }
    }
    EXPECT_EQ(translucent, 0);
    EXPECT_GT(opaque, 32 * 32 / 4); // a picture, not a blank
}

TEST_F(DatabaseWindow, SkinFileTurnsTheWindowToTheButtonFaceColour) {
    gui::Form1_Load(m_form1, m_services);
    EXPECT_NE(m_form1.backgroundRole(), QPalette::Button); // the white design
    QDir().mkpath(tempFile("x"));
    writeTempFile("x/o.cjs", "skin");
    gui::Form1 skinned(m_services);
    gui::Form1_Load(skinned, m_services);
    EXPECT_EQ(skinned.backgroundRole(), QPalette::Button);
}

TEST_F(DatabaseWindow, PointerShowsTheHandOverTheButtonsOnly) {
    m_form1.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_form1));
    auto moveOver = [&](const char* name) {
        QTest::mouseMove(m_form1.windowHandle(), control<QWidget>(m_form1, name)->mapTo(&m_form1, QPoint(4, 4)));
        return m_form1.pointer().state();
    };
    using namespace importer::pointer;
    EXPECT_EQ(moveOver("PushButton5"), kCustom);
    EXPECT_EQ(moveOver("Label5"), kCustom); // labels and the frame leave it as it was
    EXPECT_EQ(moveOver("Text1"), kDefault);
    EXPECT_EQ(moveOver("PushButton3"), kCustom);
    EXPECT_EQ(moveOver("Text2"), kDefault);
    m_form1.pointer().setState(kBusy);
    EXPECT_EQ(moveOver("PushButton3"), kBusy);
    EXPECT_EQ(moveOver("Text1"), kBusy);
}

TEST_F(DatabaseWindow, ClosingEndsTheProgram) {
    m_form1.show();
    m_form1.close();
    EXPECT_EQ(m_programEnds, 1);
}

TEST_F(DatabaseWindow, WholeImportFromTheWindowThroughTheProvider) {
    m_log.tables = {{"Existing", "TABLE"}};
    m_form1.show();
    typeInto("Text1", writeTempFile("target.mdb", "x"));
    typeInto("Text2", "pw");
    pressNext();
    gui::Form2* form2 = m_slot.window();
    ASSERT_NE(form2, nullptr);

    form2->ListView1().addEntry(writeTempFile("people.csv", "Name,City\nAnna,Oslo\nO'Hara,Rome\n"));
    QTest::mouseClick(control<QRadioButton>(*form2, "Option6"), Qt::LeftButton); // ","
    QStringList captions;
    QObject::connect(form2, &QWidget::windowTitleChanged, [&](const QString& title) { captions << title; });
    QTest::mouseClick(control<QPushButton>(*form2, "PushButton1"), Qt::LeftButton);
    // The caption showed the progress and was given back.
    ASSERT_GE(captions.size(), 2) << captions.join(" | ").toStdString();
    EXPECT_EQ(captions.first(), "Tarnwick - file 1 of 1, 50 %"); // the first row is line 1 of 4
    EXPECT_EQ(captions.last(), "Tarnwick");

    EXPECT_EQ(m_dialogs.messageTexts(), QStringList{"Done."});
    const std::vector<std::string> expected{
        "CREATE TABLE `NewTable1`(`Name` VARCHAR, `City` VARCHAR);",
        "INSERT INTO `NewTable1` VALUES('Anna','Oslo');",
        "INSERT INTO `NewTable1` VALUES('O''Hara','Rome');",
    };
    EXPECT_EQ(m_log.statements, expected);
    EXPECT_EQ(m_log.opens.back().databasePassword, "pw");
    EXPECT_EQ(m_log.openModes.back(), dataaccess::connectmode::kReadWrite);
    EXPECT_EQ(tableList(), QStringList({"NewTable1", "Existing"}));
    EXPECT_EQ(form2->pointer().state(), importer::pointer::kDefault);
    EXPECT_EQ(form2->windowTitle(), "Tarnwick");

    // The same table name again is refused before anything is sent.
    QTest::mouseClick(control<QPushButton>(*form2, "PushButton1"), Qt::LeftButton);
    EXPECT_EQ(m_dialogs.messageTexts().last(), "Table(s) already exist.");
    EXPECT_EQ(m_log.statements.size(), expected.size());
}

} // namespace
