#include "window_fixture.h"

#include "database/database_location.h"
#include "filelist/ui/file_list_view.h"
#include "windows/import_window.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSet>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QtMath>

namespace {

using testsupport::WindowFixture;

class ImportWindow : public WindowFixture {
protected:
    std::unique_ptr<gui::Form2> makeForm2() {
        return std::make_unique<gui::Form2>(m_databaseWindow, m_location, m_services);
    }
    void saveOptions(const std::map<QString, QString>& values) {
        for (const auto& [key, value] : values)
            m_store.save(settings::kSectionTarnwick, key, value);
    }
    // The enabled state each mode gives, as a control's own setting and as the user meets it.
    void expectMode(gui::Form2& form, bool append) {
        for (const char* name : {"Option3", "Option4", "Label5", "Text2"}) {
            SCOPED_TRACE(name);
            EXPECT_EQ(control<QWidget>(form, name)->isEnabled(), !append);
        }
        for (const char* name : {"Frame4", "Label2", "List1", "Check2", "PushButton8"}) {
            SCOPED_TRACE(name);
            EXPECT_EQ(control<QWidget>(form, name)->isEnabled(), append);
        }
        for (const char* name : {"Frame2", "Frame3", "Frame1", "Option5", "Option6", "Option7", "Text3", "PushButton6"}) {
            SCOPED_TRACE(name);
            EXPECT_TRUE(control<QWidget>(form, name)->isEnabled());
        }
    }

    QWidget m_databaseWindow;
    database::DatabaseFields m_location;
};

TEST_F(ImportWindow, FirstStartShowsTheDefaultsAndStoresTheRestoredValues) {
    auto form = makeForm2();
    EXPECT_TRUE(control<QRadioButton>(*form, "Option5")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(*form, "Option1")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(*form, "Option3")->isChecked());
    EXPECT_EQ(control<QCheckBox>(*form, "Check2")->checkState(), Qt::Unchecked);
    EXPECT_EQ(control<QLineEdit>(*form, "Text2")->text(), "NewTable[counter]");
    EXPECT_EQ(control<QLineEdit>(*form, "Text3")->text(), ":");
    EXPECT_EQ(form->windowTitle(), "Tarnwick");
    expectMode(*form, false);

    // Restoring raised the same handling as clicks and typing, which stored each group.
    EXPECT_EQ(stored("Option5") + stored("Option6") + stored("Option7"), "TrueFalseFalse");
    EXPECT_EQ(stored("Option1") + stored("Option2"), "TrueFalse");
    EXPECT_EQ(stored("Option3") + stored("Option4"), "TrueFalse");
    EXPECT_EQ(stored("Text2"), "NewTable[counter]");
    EXPECT_EQ(stored("Text3"), ":");
    EXPECT_FALSE(isStored("Check2")); // left unticked, so nothing was raised

    // The list view's one column.
    auto* listView = control<filelist::FileListView>(*form, "ListView1");
    EXPECT_EQ(listView->headerItem()->text(0), "Text Files");
    EXPECT_EQ(listView->columnCount(), 1);
    EXPECT_EQ(listView->columnWidth(0), 333); // 5000 twips
}

TEST_F(ImportWindow, LayoutFollowsTheDesignInPixels) {
    auto form = makeForm2();
    EXPECT_EQ(form->size(), QSize(424, 689));
    const struct {
        const char* name;
        QRect geometry;
    } cases[] = {
        {"ListView1", {8, 8, 344, 169}},     {"PushButton2", {359, 8, 57, 81}},
        {"PushButton7", {359, 96, 57, 81}},  {"Frame1", {8, 216, 408, 121}},
        {"Text3", {88, 88, 161, 22}},        {"Frame3", {24, 40, 369, 93}},
        {"List1", {144, 20, 217, 79}},       {"PushButton1", {8, 659, 201, 27}},
        {"PushButton5", {216, 659, 200, 27}}, {"Check2", {16, 106, 348, 17}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(control<QWidget>(*form, c.name)->geometry(), c.geometry);
    }
    const QFont button = control<QPushButton>(*form, "PushButton1")->font();
    EXPECT_DOUBLE_EQ(button.pointSizeF(), 11.25);
    EXPECT_TRUE(button.bold());
    const QFont option = control<QRadioButton>(*form, "Option3")->font();
    EXPECT_DOUBLE_EQ(option.pointSizeF(), 9);
    EXPECT_TRUE(option.bold());
    // The longest captions fit their designed widths beside the indicator.
    for (const char* name : {"Option3", "Check2", "Option4", "Option2"}) {
        SCOPED_TRACE(name);
        auto* button2 = control<QAbstractButton>(*form, name);
        QStyleOptionButton styleOption;
        styleOption.initFrom(button2);
        const bool isCheckBox = qobject_cast<QCheckBox*>(button2) != nullptr;
        const QRect contents = button2->style()->subElementRect(
            isCheckBox ? QStyle::SE_CheckBoxContents : QStyle::SE_RadioButtonContents, &styleOption, button2);
        EXPECT_LE(button2->fontMetrics().horizontalAdvance(button2->text()), contents.width());
    }
}

TEST_F(ImportWindow, StoredAppendModeIsRestoredWithItsRules) {
    saveOptions({{"Option1", "False"}, {"Option2", "True"}, {"Option5", "0"}, {"Option7", "1"}, {"Check2", "1"},
                 {"Text2", ""}, {"Text3", "{TAB}"}, {"Option3", "False"}, {"Option4", "True"}});
    auto form = makeForm2();
    EXPECT_TRUE(control<QRadioButton>(*form, "Option2")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(*form, "Option7")->isChecked());
    EXPECT_TRUE(control<QRadioButton>(*form, "Option4")->isChecked());
    EXPECT_EQ(form->Check2(), 1);
    EXPECT_EQ(form->Text2(), ""); // an emptied name stays empty
    EXPECT_EQ(form->Text3(), "{TAB}");
    expectMode(*form, true);
    // Normalised to the Boolean texts when the clicks were raised.
    EXPECT_EQ(stored("Option5") + stored("Option6") + stored("Option7"), "FalseFalseTrue");
    EXPECT_EQ(stored("Check2"), "1");
}

TEST_F(ImportWindow, EachClickSavesItsGroupAndModesSwitchTheRules) {
    auto form = makeForm2();
    form->show();
    QTest::mouseClick(control<QRadioButton>(*form, "Option6"), Qt::LeftButton);
    EXPECT_EQ(stored("Option5") + stored("Option6") + stored("Option7"), "FalseTrueFalse");
    EXPECT_TRUE(form->Option6());

    QTest::mouseClick(control<QRadioButton>(*form, "Option2"), Qt::LeftButton);
    EXPECT_EQ(stored("Option1") + stored("Option2"), "FalseTrue");
    expectMode(*form, true);

    QTest::mouseClick(control<QCheckBox>(*form, "Check2"), Qt::LeftButton);
    EXPECT_EQ(stored("Check2"), "1");

    // Back to create mode: the check box is disabled but keeps its tick and its value.
    QTest::mouseClick(control<QRadioButton>(*form, "Option1"), Qt::LeftButton);
    EXPECT_EQ(stored("Option1") + stored("Option2"), "TrueFalse");
    expectMode(*form, false);
    EXPECT_EQ(form->Check2(), 1);
    EXPECT_EQ(stored("Check2"), "1");

    QTest::mouseClick(control<QRadioButton>(*form, "Option4"), Qt::LeftButton);
    EXPECT_EQ(stored("Option3") + stored("Option4"), "FalseTrue");

    // The next start shows what was chosen.
    form.reset();
    auto again = makeForm2();
    EXPECT_TRUE(again->Option6());
    EXPECT_TRUE(again->Option1());
    EXPECT_TRUE(again->Option4());
    EXPECT_EQ(again->Check2(), 1);
}

TEST_F(ImportWindow, EveryKeystrokeInTheTextBoxesIsSaved) {
    auto form = makeForm2();
    form->show();
    auto* text2 = control<QLineEdit>(*form, "Text2");
    text2->setFocus();
    text2->selectAll();
    QTest::keyClick(text2, Qt::Key_Delete);
    EXPECT_EQ(stored("Text2"), "");
    QTest::keyClicks(text2, "T");
    EXPECT_EQ(stored("Text2"), "T");
    QTest::keyClicks(text2, "[counter]");
    EXPECT_EQ(stored("Text2"), "T[counter]");

    // Typing an "Other" separator while "Comma" is selected saves it but keeps the separator.
    QTest::mouseClick(control<QRadioButton>(*form, "Option6"), Qt::LeftButton);
    auto* text3 = control<QLineEdit>(*form, "Text3");
    text3->setFocus();
    text3->selectAll();
    QTest::keyClicks(text3, ";");
    EXPECT_EQ(stored("Text3"), ";");
    EXPECT_TRUE(form->Option6());
    EXPECT_FALSE(form->Option7());
}

TEST_F(ImportWindow, HelpButtonsShowTheirMessages) {
    auto form = makeForm2();
    form->show();
    QTest::mouseClick(control<QPushButton>(*form, "PushButton6"), Qt::LeftButton);
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].text,
              "Text files should look like this:\r\n\r\nName,State\r\nTomas,NH\r\nDudi,MA\r\n\r\n"
              "To import tab-delimited text files, input {TAB} in \"Other\" textbox");
    EXPECT_EQ(m_dialogs.messages[0].title, "Tarnwick");
    EXPECT_EQ(m_dialogs.messages[0].icon, importer::MessageIcon::None);

    // In create mode the append help cannot be pressed: its frame is disabled.
    auto* appendHelp = control<QPushButton>(*form, "PushButton8");
    QTest::mouseClick(appendHelp, Qt::LeftButton);
    EXPECT_EQ(m_dialogs.messages.size(), 1u);

    QTest::mouseClick(control<QRadioButton>(*form, "Option2"), Qt::LeftButton);
    QTest::mouseClick(appendHelp, Qt::LeftButton);
    ASSERT_EQ(m_dialogs.messages.size(), 2u);
    EXPECT_TRUE(m_dialogs.messages[1].text.startsWith(
        "If you are using the \"Append\" feature, make sure the number of columns in the text file match the "
        "number of columns in the table.\r\rAlso when appending, the data types (such as Text, Memo,"));
    EXPECT_TRUE(m_dialogs.messages[1].text.endsWith("you can't import characters in a text file to a Number field "
                                                    "in MS Access"));
    EXPECT_EQ(m_dialogs.messages[1].title, "Tarnwick");
}

TEST_F(ImportWindow, SwitchShowsTheDatabaseWindowAndClosingEndsTheProgram) {
    auto form = makeForm2();
    form->show();
    QTest::mouseClick(control<QPushButton>(*form, "PushButton5"), Qt::LeftButton);
    EXPECT_TRUE(m_databaseWindow.isVisible());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(m_programEnds, 0);

    form->show();
    form->close();
    EXPECT_EQ(m_programEnds, 1);
    m_databaseWindow.hide();
}

TEST_F(ImportWindow, PointerFollowsTheHoverRulesExceptWhileBusy) {
    auto form = makeForm2();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QWindow* window = form->windowHandle();
    auto moveOver = [&](const char* name, QPoint offset = QPoint(3, 3)) {
        QWidget* widget = control<QWidget>(*form, name);
        QTest::mouseMove(window, widget->mapTo(form.get(), offset));
        return form->pointer().state();
    };
    using namespace importer::pointer;
    EXPECT_EQ(moveOver("PushButton1"), kCustom);
    QTest::mouseMove(window, QPoint(2, 2)); // the window's background
    EXPECT_EQ(form->pointer().state(), kDefault);
    EXPECT_EQ(moveOver("PushButton4"), kCustom);
    EXPECT_EQ(moveOver("Option3", QPoint(40, 5)), kCustom); // option buttons leave it alone
    EXPECT_EQ(moveOver("PushButton2"), kCustom);             // and so do the move buttons
    EXPECT_EQ(moveOver("Frame1", QPoint(200, 50)), kDefault); // the frame's own background
    EXPECT_EQ(moveOver("PushButton6"), kCustom);
    EXPECT_EQ(moveOver("List1", QPoint(20, 20)), kDefault); // disabled: its frame's move
    EXPECT_EQ(moveOver("PushButton6"), kCustom);
    EXPECT_EQ(moveOver("ListView1", QPoint(40, 60)), kDefault); // over the list's viewport
    EXPECT_EQ(moveOver("PushButton8"), kDefault); // disabled with its frame: Frame2's move

    form->pointer().setState(kBusy);
    EXPECT_EQ(moveOver("PushButton1"), kBusy);
    QTest::mouseMove(window, QPoint(2, 2));
    EXPECT_EQ(form->pointer().state(), kBusy);
    EXPECT_EQ(form->cursor().shape(), Qt::WaitCursor);
    // Text boxes show their I-beam only when the window is not busy.
    auto* text3 = control<QLineEdit>(*form, "Text3");
    EXPECT_EQ(text3->cursor().shape(), Qt::WaitCursor);
    form->pointer().setState(kDefault);
    EXPECT_EQ(text3->cursor().shape(), Qt::IBeamCursor);
}

const char* const kPushButtons[] = {"PushButton2", "PushButton7", "PushButton3", "PushButton4",
                                    "PushButton6", "PushButton8", "PushButton1", "PushButton5"};

TEST_F(ImportWindow, EnterPressesTheFocusedButton) {
    auto form = makeForm2();
    control<QRadioButton>(*form, "Option2")->click(); // append mode, so that PushButton8 can be pressed
    for (const char* name : kPushButtons) {
        SCOPED_TRACE(name);
        form->show(); // "Switch Access Database" hides it
        auto* button = control<QPushButton>(*form, name);
        QSignalSpy clicks(button, &QPushButton::clicked);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Enter);
        EXPECT_EQ(clicks.count(), 2);
    }
    m_databaseWindow.hide();
}

// At any scale each list shows the bottom line of its frame: among the last screen pixels
// of the list there is one that is neither the list's white nor the window's background.
TEST_F(ImportWindow, ControlsAreWholeAtTheScreensScale) {
    auto form = makeForm2();
    control<QRadioButton>(*form, "Option2")->click();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    auto* scrollArea = form->findChild<QScrollArea*>();
    ASSERT_NE(scrollArea, nullptr);
    for (const char* name : {"ListView1", "List1"}) {
        SCOPED_TRACE(name);
        auto* list = control<QAbstractScrollArea>(*form, name);
        scrollArea->ensureWidgetVisible(list, 0, 0);
        const QImage picture = form->grab().toImage();
        const qreal scale = picture.devicePixelRatio();
        const QRect rect(list->mapTo(form.get(), QPoint(0, 0)), list->size());
        const QColor white = list->palette().color(QPalette::Base);
        const QColor background = form->palette().color(form->backgroundRole());
        const int x = qRound(rect.center().x() * scale);
        const int bottom = qCeil((rect.bottom() + 1) * scale) - 1;
        ASSERT_LT(bottom, picture.height());
        bool line = false;
        for (int y = bottom - qCeil(2 * scale); y <= bottom; ++y) {
            const QColor pixel = picture.pixelColor(x, y);
            line = line || (pixel != white && pixel != background);
        }
        EXPECT_TRUE(line) << "at scale " << scale;
    }
}

// Tab reaches every control that takes the focus and scrolls each one into view.
TEST_F(ImportWindow, TabBringsEachControlIntoView) {
    auto form = makeForm2();
    control<QRadioButton>(*form, "Option2")->click();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    auto* scrollArea = form->findChild<QScrollArea*>();
    ASSERT_NE(scrollArea, nullptr);
    control<QWidget>(*form, "ListView1")->setFocus();
    QSet<QString> reached;
    for (int i = 0; i < 30; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        reached.insert(focused->objectName());
        const QRect inViewport(focused->mapTo(scrollArea->viewport(), QPoint(0, 0)), focused->size());
        EXPECT_TRUE(scrollArea->viewport()->rect().contains(inViewport)) << focused->objectName().toStdString();
    }
    for (const char* name : kPushButtons)
        EXPECT_TRUE(reached.contains(name)) << name;
    for (const char* name : {"ListView1", "List1", "Check2", "Text3"})
        EXPECT_TRUE(reached.contains(name)) << name;
}

// Run by CTest with a large and a small screen side by side: the window is fitted again
// on the screen it is moved to.
TEST_F(ImportWindow, MovedToASmallerScreenTheWindowFitsItAgain) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.size() < 2)
        GTEST_SKIP() << "one screen only";
    auto form = makeForm2();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    ASSERT_EQ(form->screen(), screens[0]);
    EXPECT_EQ(form->size(), QSize(424, 689));
    const QRect small = screens[1]->availableGeometry();
    ASSERT_LT(small.height(), 689);
    form->move(small.topLeft());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->screen() == screens[1]; }));
    EXPECT_LE(form->frameGeometry().height(), small.height());
    form->move(screens[0]->availableGeometry().topLeft());
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->screen() == screens[0]; }));
    EXPECT_EQ(form->size(), QSize(424, 689));
}

// Run by CTest on Qt's offscreen screen and again on a 1280 by 720 screen at every scale
// from 100 % to 200 %: the window stays inside the screen's available area, centred with
// its frame, and every button can be reached and clicked at its place in the window.
TEST_F(ImportWindow, EveryButtonCanBeClickedOnTheScreenItIsShownOn) {
    auto form = makeForm2();
    control<QRadioButton>(*form, "Option2")->click();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    const QRect area = form->screen()->availableGeometry();
    const QRect outer = form->frameGeometry();
    EXPECT_TRUE(area.contains(outer)) << outer.height() << " in " << area.height();
    EXPECT_NEAR(outer.center().x(), area.center().x(), 1);
    EXPECT_NEAR(outer.center().y(), area.center().y(), 1);

    auto* scrollArea = form->findChild<QScrollArea*>();
    ASSERT_NE(scrollArea, nullptr);
    EXPECT_EQ(scrollArea->verticalScrollBar()->isVisible(), form->height() < 689);
    for (const char* name : kPushButtons) {
        SCOPED_TRACE(name);
        form->show();
        auto* button = control<QPushButton>(*form, name);
        scrollArea->ensureWidgetVisible(button, 0, 0);
        const QRect inViewport(button->mapTo(scrollArea->viewport(), QPoint(0, 0)), button->size());
        EXPECT_TRUE(scrollArea->viewport()->rect().contains(inViewport));
        QSignalSpy clicks(button, &QPushButton::clicked);
        QTest::mouseClick(form->windowHandle(), Qt::LeftButton, {}, button->mapTo(form.get(), button->rect().center()));
        EXPECT_EQ(clicks.count(), 1);
    }
    m_databaseWindow.hide();
}

} // namespace
