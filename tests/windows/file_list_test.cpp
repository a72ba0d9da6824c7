// The import window's file list driven through its real widgets: removal, the two add
// buttons, the move buttons, the internal drag and drops from the file manager.

#include "window_fixture.h"

#include "database/database_location.h"
#include "filelist/ui/file_list_view.h"
#include "import/text_rules.h"
#include "windows/import_window.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTest>
#include <QUrl>

namespace {

using testsupport::WindowFixture;

class FileList : public WindowFixture {
protected:
    FileList() : m_form(m_databaseWindow, m_location, m_services), m_list(m_form.ListView1()) {}

    QStringList entries() const {
        QStringList texts;
        for (int position = 1; position <= m_list.count(); ++position)
            texts << *m_list.text(position);
        return texts;
    }
    void fill(const QStringList& texts) {
        for (const QString& text : texts)
            m_list.addEntry(text);
    }
    void click(const char* button) { QTest::mouseClick(control<QPushButton>(m_form, button), Qt::LeftButton); }
    QPoint centreOf(int position) const {
        return m_list.visualItemRect(m_list.topLevelItem(position - 1)).center();
    }
    QString makeFile(const QString& relativePath) {
        const QString path = tempFile("tree/" + relativePath.toStdString());
        QDir().mkpath(QFileInfo(path).path());
        testsupport::writeFile(path.toStdString(), "x");
        return path;
    }
    QString treeFolder() const { return tempFile("tree"); }
    // Whole rows only: the column is wider than the list, as long paths are cut at its edge.
    bool rowInView(int position) const {
        const QRect row = m_list.visualItemRect(m_list.topLevelItem(position - 1));
        return row.top() >= 0 && row.bottom() < m_list.viewport()->height();
    }
    int positionAt(QPoint at) const { return m_list.indexOfTopLevelItem(m_list.itemAt(at)) + 1; }

    void press(int position, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(m_list.viewport(), button, {}, centreOf(position));
    }
    void moveOver(int position, Qt::MouseButton held = Qt::LeftButton) { moveOver(centreOf(position), held); }
    void moveOver(QPoint at, Qt::MouseButton held = Qt::LeftButton) {
        QMouseEvent move(QEvent::MouseMove, at, m_list.viewport()->mapToGlobal(at), Qt::NoButton, held, {});
        QApplication::sendEvent(m_list.viewport(), &move);
    }
    // A widget test gets only the double-click event; a real one comes after a click.
    void doubleClick(QPoint at) {
        QTest::mouseClick(m_list.viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(m_list.viewport(), Qt::LeftButton, {}, at);
    }
    void release(int position, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseRelease(m_list.viewport(), button, {}, centreOf(position));
    }

    // Sends a drag over the list and, when it was accepted, the drop; returns whether it was.
    bool drop(QMimeData& data) {
        const QPoint at(10, 10);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_list.viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
        QDropEvent dropEvent(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_list.viewport(), &dropEvent);
        EXPECT_TRUE(dropEvent.isAccepted());
        EXPECT_EQ(dropEvent.dropAction(), Qt::CopyAction); // the source keeps its files
        return true;
    }
    static std::unique_ptr<QMimeData> urls(const QStringList& paths) {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> list;
        for (const QString& path : paths)
            list << QUrl::fromLocalFile(path);
        data->setUrls(list);
        return data;
    }

    QWidget m_databaseWindow;
    database::DatabaseFields m_location;
    gui::Form2 m_form;
    filelist::FileListView& m_list;
};

const QStringList kFive{"f1", "f2", "f3", "f4", "f5"};

TEST_F(FileList, DeleteWithAnyModifiersAndDoubleClickRemoveTheSelectedEntry) {
    m_form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_form));
    QTest::keyClick(&m_list, Qt::Key_Delete); // empty list: nothing to do
    doubleClick(QPoint(20, 20));
    EXPECT_EQ(m_list.count(), 0);

    fill({"a", "b", "c", "d", "b", "e"}); // duplicates are separate entries
    m_list.selectEntry(2);
    QTest::keyClick(&m_list, Qt::Key_Backspace);
    EXPECT_EQ(entries(), QStringList({"a", "b", "c", "d", "b", "e"}));
    QTest::keyClick(&m_list, Qt::Key_Delete);
    EXPECT_EQ(entries(), QStringList({"a", "c", "d", "b", "e"}));

    m_list.selectEntry(4);
    QTest::keyClick(&m_list, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(entries(), QStringList({"a", "c", "d", "e"}));
    m_list.selectEntry(1);
    QTest::keyClick(&m_list, Qt::Key_Delete, Qt::ShiftModifier);
    EXPECT_EQ(entries(), QStringList({"c", "d", "e"}));

    // A double-click on an entry selects and removes it; one on the empty part of the
    // list removes the entry that is selected.
    doubleClick(centreOf(2));
    EXPECT_EQ(entries(), QStringList({"c", "e"}));
    m_list.selectEntry(2);
    doubleClick(QPoint(20, m_list.viewport()->height() - 5));
    EXPECT_EQ(entries(), QStringList({"c"}));
    m_list.clearSelection();
    QTest::keyClick(&m_list, Qt::Key_Delete);
    EXPECT_EQ(entries(), QStringList({"c"}));
}

TEST_F(FileList, AddTextFilesAppendsTheChosenFilesInTheDialogsOrder) {
    fill({"/data/old.txt"});
    m_dialogs.fileListAnswers = {{}, {"/data/b.txt", "/data/a.exe", "/data/old.txt"}, {"/a.txt"}};
    click("PushButton3"); // cancelled
    EXPECT_EQ(entries(), QStringList({"/data/old.txt"}));
    click("PushButton3");
    click("PushButton3");
    EXPECT_EQ(entries(), QStringList({"/data/old.txt", "/data/b.txt", "/data/a.exe", "/data/old.txt", "/a.txt"}));

    ASSERT_EQ(m_dialogs.fileRequests.size(), 3u);
    EXPECT_EQ(m_dialogs.fileRequests[0].title, "Add File(s) - Hold Ctrl to select multiple files");
    EXPECT_EQ(m_dialogs.fileRequests[0].nameFilters,
              QStringList({"Text Files (*.txt)", "CSV Files (*.csv)", "All Files (*)"}));
    EXPECT_TRUE(m_dialogs.fileRequests[0].fileName.isEmpty());
}

TEST_F(FileList, FolderScanAsksForAnExtensionAndAFolderAndAppendsTheMatchingFiles) {
    makeFile("a.txt");
    makeFile("b.csv");
    makeFile("~$c.txt");
    makeFile("sub/d.TXT");
    makeFile("sub/e.csv");
    fill({"first"});

    // A cancelled prompt stores nothing and asks for no folder.
    click("PushButton4");
    ASSERT_EQ(m_dialogs.prompts.size(), 1);
    EXPECT_EQ(m_dialogs.prompts[0],
              "Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all doc files, etc.)");
    EXPECT_EQ(m_dialogs.inputTitles[0], "Tarnwick");
    EXPECT_EQ(m_dialogs.inputDefaults[0], "txt");
    EXPECT_FALSE(isStored("Extension"));
    EXPECT_TRUE(m_dialogs.folderPrompts.isEmpty());

    // A cancelled folder dialog keeps the stored answer and adds nothing.
    m_dialogs.inputAnswers = {"csv"};
    click("PushButton4");
    EXPECT_EQ(stored("Extension"), "csv");
    EXPECT_EQ(m_dialogs.folderPrompts, QStringList({"Please select folder:"}));
    EXPECT_EQ(entries(), QStringList({"first"}));

    m_dialogs.inputAnswers = {"txt", "*"};
    m_dialogs.folderAnswers = {treeFolder(), treeFolder() + "/"};
    click("PushButton4");
    EXPECT_EQ(stored("Extension"), "txt");
    const QString root = treeFolder();
    EXPECT_EQ(entries(), QStringList({"first", root + "/a.txt", root + "/sub/d.TXT"}));
    EXPECT_EQ(m_form.pointer().state(), importer::pointer::kDefault);

    // "*" takes every extension; a folder chosen with its final separator reads the same.
    click("PushButton4");
    EXPECT_EQ(stored("Extension"), "*");
    EXPECT_EQ(entries().mid(3), QStringList({root + "/a.txt", root + "/b.csv", root + "/sub/d.TXT",
                                             root + "/sub/e.csv"}));
}

TEST_F(FileList, MoveButtonsExchangeTheSelectedEntryWithItsNeighbour) {
    fill(kFive);
    auto* up = control<QPushButton>(m_form, "PushButton2");
    auto* down = control<QPushButton>(m_form, "PushButton7");

    click("PushButton2"); // nothing selected
    click("PushButton7");
    EXPECT_EQ(entries(), kFive);

    m_list.selectEntry(3);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_EQ(entries(), QStringList({"f1", "f3", "f2", "f4", "f5"}));
    EXPECT_EQ(m_list.selectedPosition(), 2);
    QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(entries(), kFive);
    EXPECT_EQ(m_list.selectedPosition(), 3);

    m_list.selectEntry(1);
    QTest::mouseClick(up, Qt::LeftButton); // the first entry stays where it is
    EXPECT_EQ(entries(), kFive);
    EXPECT_EQ(m_list.selectedPosition(), 1);
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(down, Qt::LeftButton);
    EXPECT_EQ(entries(), QStringList({"f2", "f3", "f4", "f1", "f5"}));
    EXPECT_EQ(m_list.selectedPosition(), 4);

    m_list.selectEntry(5);
    QTest::mouseClick(down, Qt::LeftButton); // and so does the last
    EXPECT_EQ(entries(), QStringList({"f2", "f3", "f4", "f1", "f5"}));
    EXPECT_EQ(m_list.selectedPosition(), 5);
}

TEST_F(FileList, MoveButtonsKeepTheMovedEntryInViewAndGiveTheListTheFocus) {
    for (int i = 1; i <= 40; ++i)
        m_list.addEntry(QStringLiteral("f%1").arg(i));
    m_form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_form));
    m_list.selectEntry(40);
    control<QPushButton>(m_form, "PushButton3")->setFocus();
    for (int i = 0; i < 39; ++i)
        click("PushButton2");
    EXPECT_EQ(*m_list.text(1), "f40");
    EXPECT_EQ(*m_list.text(40), "f39");
    EXPECT_TRUE(m_list.viewport()->rect().contains(centreOf(1)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return m_list.hasFocus(); }));
}

TEST_F(FileList, DraggingAnEntryCarriesItsTextOverTheEntriesPassed) {
    m_form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_form));
    struct Case {
        const char* name;
        Qt::MouseButton button;
        QList<int> path;
        QStringList texts;
        QStringList expected;
    };
    const std::vector<Case> cases{
        {"steady", Qt::LeftButton, {2, 3, 4}, kFive, {"f2", "f3", "f4", "f1", "f5"}},
        // However fast the pointer, the entries passed over keep their order.
        {"fast, skipping entries", Qt::LeftButton, {4}, kFive, {"f2", "f3", "f4", "f1", "f5"}},
        {"there and back", Qt::LeftButton, {4, 2}, kFive, {"f2", "f1", "f3", "f4", "f5"}},
        {"right button", Qt::RightButton, {2, 3}, kFive, {"f2", "f3", "f1", "f4", "f5"}},
        {"same text", Qt::LeftButton, {2}, {"f1", "f1", "f3"}, {"f1", "f1", "f3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_list.clear();
        fill(c.texts);
        press(1, c.button);
        for (int position : c.path)
            moveOver(position, c.button);
        release(c.path.last(), c.button);
        EXPECT_EQ(entries(), c.expected);
        EXPECT_FALSE(m_list.isDraggingEntry());
        // After the release, moves carry nothing.
        moveOver(1, Qt::NoButton);
        EXPECT_EQ(entries(), c.expected);
    }
}

TEST_F(FileList, DraggedEntryShowsTheDragPictureWhenTheProgramFolderHasOne) {
    fill(kFive);
    press(1);
    EXPECT_NE(m_list.viewport()->cursor().shape(), Qt::BitmapCursor); // no drag.ico yet
    release(1);

    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(tempFile("drag.ico"), "ICO"));
    press(2);
    EXPECT_EQ(m_list.viewport()->cursor().shape(), Qt::BitmapCursor);
    moveOver(3);
    release(3);
    EXPECT_NE(m_list.viewport()->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(entries(), QStringList({"f1", "f3", "f2", "f4", "f5"}));

    // An entry removed while remembered as the dragged one carries nothing afterwards.
    press(2);
    m_list.removeEntry(2);
    moveOver(1);
    release(1);
    EXPECT_EQ(entries(), QStringList({"f1", "f2", "f4", "f5"}));
}

TEST_F(FileList, DragPictureIsFoundInAnyLetterCaseAndInTheInstalledDataFolder) {
    fill(kFive);
    QDir().mkpath(tempFile("data"));
    m_services.programFolder = gui::ProgramFolder(tempFile("bin"), tempFile("data"));
    QImage picture(32, 32, QImage::Format_ARGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(tempFile("data/Drag.ICO"), "ICO"));
    press(2);
    EXPECT_EQ(m_list.viewport()->cursor().shape(), Qt::BitmapCursor);
    release(2);
}

// f01 ... f40, with the entry `carried` taken out and put back at `position`.
QStringList fortyWith(const QString& carried, int position) {
    QStringList texts;
    for (int i = 1; i <= 40; ++i)
        texts << QStringLiteral("f%1").arg(i, 2, 10, QChar('0'));
    texts.removeOne(carried);
    texts.insert(position - 1, carried);
    return texts;
}

class FileListDrag : public FileList {
protected:
    void SetUp() override {
        fill(fortyWith("f01", 1));
        m_form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_form));
        // Every scroll step is recorded with the list as it stands after it.
        QObject::connect(m_list.verticalScrollBar(), &QScrollBar::valueChanged, &m_list,
                         [this] { m_steps << entries(); });
    }
    // The visible rows whose centres lie inside the list, first and last.
    int firstWholeRow() const { return positionAt(QPoint(10, 1)); }
    int lastWholeRow() const {
        int last = firstWholeRow();
        while (last < m_list.count() && m_list.viewport()->rect().contains(centreOf(last + 1)))
            ++last;
        return last;
    }
    // Each recorded step carried `text` exactly one place on from where it stood before.
    void expectOnePlacePerStep(const QString& text, int startPosition, int direction) {
        ASSERT_FALSE(m_steps.isEmpty());
        for (qsizetype step = 0; step < m_steps.size(); ++step) {
            SCOPED_TRACE(step);
            EXPECT_EQ(m_steps[step], fortyWith(text, startPosition + direction * int(step + 1)));
        }
    }
    QList<QStringList> m_steps;
};

TEST_F(FileListDrag, PointerHeldInTheBottomBandCarriesTheEntryDownOnePlacePerStep) {
    const int last = lastWholeRow();
    const QPoint inBand(10, m_list.viewport()->height() - 2);
    const int bandRow = positionAt(inBand);
    ASSERT_GT(last, 3);
    ASSERT_GE(bandRow, last);

    press(1);
    for (int position = 2; position <= last; ++position)
        moveOver(position);
    EXPECT_EQ(entries(), fortyWith("f01", last));
    EXPECT_TRUE(m_steps.isEmpty()); // the list does not scroll under a moving pointer
    moveOver(inBand);
    EXPECT_EQ(entries(), fortyWith("f01", bandRow));

    // Held still: the list scrolls one row per step, carrying the entry, to the end.
    ASSERT_TRUE(QTest::qWaitFor([&] { return *m_list.text(40) == "f01"; }, 30000));
    QTest::qWait(3 * filelist::FileListView::kAutoScrollIntervalMs);
    release(40);
    expectOnePlacePerStep("f01", bandRow, +1);
    EXPECT_EQ(m_steps.size(), 40 - bandRow);
    EXPECT_EQ(entries(), fortyWith("f01", 40));
    EXPECT_EQ(positionAt(inBand), 40); // still under the pointer, in view
}

TEST_F(FileListDrag, PointerHeldInTheTopBandCarriesTheEntryUpOnePlacePerStep) {
    m_list.clear();
    fill(fortyWith("f40", 40));
    m_list.scrollToBottom();
    m_steps.clear();
    const int first = firstWholeRow();
    ASSERT_GT(first, 3);
    ASSERT_EQ(lastWholeRow(), 40);

    press(40);
    for (int position = 39; position >= first; --position)
        moveOver(position);
    EXPECT_EQ(entries(), fortyWith("f40", first));
    EXPECT_TRUE(m_steps.isEmpty());
    moveOver(QPoint(10, 1));

    ASSERT_TRUE(QTest::qWaitFor([&] { return *m_list.text(1) == "f40"; }, 30000));
    QTest::qWait(3 * filelist::FileListView::kAutoScrollIntervalMs);
    release(1);
    expectOnePlacePerStep("f40", first, -1);
    EXPECT_EQ(m_steps.size(), first - 1);
    EXPECT_EQ(entries(), fortyWith("f40", 1));
    EXPECT_TRUE(rowInView(1));
}

// Entries scrolled out of view lie beyond the list's edges: with the pointer there,
// nothing is carried and nothing scrolls.
TEST_F(FileListDrag, PointerOutsideTheListCarriesNothing) {
    const int height = m_list.viewport()->height();
    press(2);
    for (const QPoint outside : {QPoint(10, height + 55), QPoint(10, -20), QPoint(m_list.viewport()->width() + 30, 40),
                                 QPoint(-30, height - 2)}) {
        SCOPED_TRACE(outside.y());
        moveOver(outside);
        QTest::qWait(3 * filelist::FileListView::kAutoScrollIntervalMs);
        EXPECT_EQ(entries(), fortyWith("f02", 2));
        EXPECT_TRUE(m_steps.isEmpty());
    }

    // Into the band and out again below the list: the scrolling stops where it was.
    moveOver(QPoint(10, height - 2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return m_steps.size() >= 2; }, 30000));
    moveOver(QPoint(10, height + 55));
    const QStringList stopped = entries();
    const qsizetype steps = m_steps.size();
    QTest::qWait(3 * filelist::FileListView::kAutoScrollIntervalMs);
    EXPECT_EQ(entries(), stopped);
    EXPECT_EQ(m_steps.size(), steps);
    release(2);
    EXPECT_EQ(stopped, fortyWith("f02", stopped.indexOf("f02") + 1));
    expectOnePlacePerStep("f02", stopped.indexOf("f02") + 1 - int(steps), +1);
}

TEST_F(FileList, DropsAppendFilesAsTheyAreAndScanFolders) {
    const QString a = makeFile("drop/a.txt");
    const QString b = makeFile("drop/b.exe");
    const QString tilde = makeFile("drop/~x.txt");
    makeFile("d/x.txt");
    makeFile("d/y.csv");
    makeFile("d/~x.txt");
    makeFile("d/s/z.txt");
    fill({"first", "second"});

    auto files = urls({a, b, tilde});
    EXPECT_TRUE(drop(*files));
    const QString d = treeFolder() + "/d";
    auto folder = urls({d, a});
    EXPECT_TRUE(drop(*folder));
    EXPECT_EQ(entries(), QStringList({"first", "second", a, b, tilde, d + "/x.txt", d + "/y.csv", d + "/s/z.txt", a}));

    // Text from an editor is refused and adds nothing.
    QMimeData text;
    text.setText(a);
    EXPECT_FALSE(drop(text));
    QDropEvent textDrop(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, {});
    QApplication::sendEvent(m_list.viewport(), &textDrop);
    EXPECT_EQ(m_list.count(), 9);
}

// What the file manager sends: each path's bytes, percent-encoded.
TEST_F(FileList, DropsKeepNamesInAnyEncodingAndAHiddenFolderIsOneEntry) {
    const QString folder = treeFolder();
    makeFile(".hidden/inside.txt");
    makeFile("d/plain.txt");
    const std::string latin1 = folder.toStdString() + "/d/caf\xe9.txt";
    testsupport::writeFile(latin1, "x");
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("file://") + QUrl::toPercentEncoding(folder, "/") + "/d/caf%E9.txt"),
                  QUrl::fromLocalFile(folder + "/.hidden"), QUrl::fromLocalFile(folder + "/d")});
    ASSERT_TRUE(drop(data));
    const QString cafe = folder + "/d/caf" + QChar(char16_t(0xDCE9)) + ".txt";
    EXPECT_EQ(entries(), QStringList({cafe, folder + "/.hidden", cafe, folder + "/d/plain.txt"}));
    std::optional<importer::ReadFailure> failure;
    EXPECT_EQ(importer::ReadTextLines(*m_list.text(1), &failure), QStringList({"x"}));
    // Shown as the user knows the name.
    auto* delegate = qobject_cast<QStyledItemDelegate*>(m_list.itemDelegate());
    ASSERT_NE(delegate, nullptr);
    EXPECT_EQ(delegate->displayText(m_list.topLevelItem(0)->text(0), QLocale()),
              folder + QString::fromUtf16(u"/d/caf\u00e9.txt"));
}

TEST_F(FileList, ContextMenuRemovesTheEntryOrEveryEntryAndTheHintCountsThem) {
    m_form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_form));
    EXPECT_EQ(m_list.toolTip(), filelist::FileListView::kHoverHint + "\n0 files listed.");
    fill({"a", "b", "c"});
    EXPECT_EQ(m_list.toolTip(), filelist::FileListView::kHoverHint + "\n3 files listed.");
    QMenu& menu = m_list.contextMenu();
    auto choose = [&](int action) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }));
        ASSERT_EQ(menu.actions().size(), 2);
        EXPECT_EQ(menu.actions()[0]->text(), "Remove");
        EXPECT_EQ(menu.actions()[1]->text(), "Remove All");
        QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(menu.actions()[action]).center());
        EXPECT_TRUE(QTest::qWaitFor([&] { return !menu.isVisible(); }));
    };

    // A right-click selects the entry under the pointer; "Remove" removes it.
    QTest::mouseClick(m_list.viewport(), Qt::RightButton, {}, centreOf(2));
    choose(0);
    EXPECT_EQ(entries(), QStringList({"a", "c"}));
    EXPECT_EQ(m_list.toolTip(), filelist::FileListView::kHoverHint + "\n2 files listed.");

    // A drag with the right button reorders and opens no menu.
    press(1, Qt::RightButton);
    moveOver(2, Qt::RightButton);
    release(2, Qt::RightButton);
    EXPECT_EQ(entries(), QStringList({"c", "a"}));
    EXPECT_FALSE(menu.isVisible());

    // The menu key opens it as well; "Remove All" empties the list.
    QTest::keyClick(&m_list, Qt::Key_Menu);
    choose(1);
    EXPECT_EQ(m_list.count(), 0);
    EXPECT_EQ(m_list.toolTip(), filelist::FileListView::kHoverHint + "\n0 files listed.");
    QTest::keyClick(&m_list, Qt::Key_Menu);
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }));
    EXPECT_FALSE(menu.actions()[0]->isEnabled());
    EXPECT_FALSE(menu.actions()[1]->isEnabled());
    menu.close();
}

TEST_F(FileList, DropsAreRefusedOnlyWhileAnEntryIsDragged) {
    m_form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_form));
    const QString a = makeFile("a.txt");
    fill({"f1", "f2"});
    press(1);
    auto data = urls({a});
    EXPECT_FALSE(drop(*data));
    release(1);
    EXPECT_TRUE(drop(*data));
    EXPECT_EQ(entries(), QStringList({"f1", "f2", a}));
}

} // namespace
