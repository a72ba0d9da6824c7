#include "windows/import_window.h"

#include "database/access_connection_string.h"
#include "database/database_location.h"
#include "filelist/ui/file_list_reorder.h"
#include "filelist/ui/file_list_view.h"
#include "settings/setting_conversions.h"
#include "settings/setting_keys.h"
#include "settings/settings_store.h"
#include "windows/application_title.h"
#include "windows/button_face.h"
#include "windows/classic_metrics_style.h"
#include "windows/dialogs.h"
#include "windows/enter_key.h"
#include "windows/file_list_buttons.h"
#include "windows/frame.h"
#include "windows/hand_cursor.h"
#include "windows/hover_pointer_rules.h"
#include "windows/move_arrow_icons.h"
#include "windows/picture_button.h"
#include "windows/screen_fit.h"
#include "windows/twips.h"
#include "windows/window_fonts.h"
#include "windows/window_icons.h"

#include <QButtonGroup>
#include <QDir>
#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace gui {

using settings::kSectionTarnwick;
namespace key = settings::key;

const QString Form2::kSeparatorHelp = QStringLiteral(
    "Text files should look like this:\r\n"
    "\r\n"
    "Name,State\r\n"
    "Tomas,NH\r\n"
    "Dudi,MA\r\n"
    "\r\n"
    "To import tab-delimited text files, input {TAB} in \"Other\" textbox");

const QString Form2::kAppendHelp = QStringLiteral(
    "If you are using the \"Append\" feature, make sure the number of columns in the text file match the number "
    "of columns in the table.\r\rAlso when appending, the data types (such as Text, Memo, Number, Date/Time, etc.) "
    "of the text file and table must be the same. In other words, you can't import characters in a text file to a "
    "Number field in MS Access");

const QString Form2::kStopImportQuestion =
    QStringLiteral("The import is still running.\r\n\r\nStop it now? The rows imported so far stay in the table, and "
                   "Tarnwick closes.");

namespace {

constexpr int kClientWidth = 6360;
constexpr int kClientHeight = 10335;
constexpr int kFileColumnWidth = 5000;
// The pointer picture while an entry of the file list is dragged, looked up in the program folder.
const QString kDragCursorFile = QStringLiteral("drag.ico");

template <typename Widget>
Widget* place(Widget* widget, const char* name, int left, int top, int width, int height, const QFont& font) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(twipsRect(left, top, width, height));
    widget->setFont(font);
    return widget;
}

QPushButton* pushButton(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                        int height) {
    return place(new QPushButton(caption, parent), name, left, top, width, height, pushButtonFont());
}

QRadioButton* optionButton(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                           int height) {
    return place(new QRadioButton(caption, parent), name, left, top, width, height, controlFont());
}

QGroupBox* frame(QWidget* parent, const char* name, const QString& caption, int left, int top, int width,
                 int height) {
    return place(new Frame(caption, parent), name, left, top, width, height, controlFont());
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, int left, int top, int width, int height) {
    return place(new QLabel(caption, parent), name, left, top, width, height, controlFont());
}

QLineEdit* textBox(QWidget* parent, const char* name, int left, int top, int width, int height) {
    return place(new QLineEdit(parent), name, left, top, width, height, controlFont());
}

// A check box's value counts 0 unticked, 1 ticked, 2 greyed; Qt numbers ticked 2.
int checkBoxValue(Qt::CheckState state) {
    switch (state) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

Qt::CheckState checkStateFromValue(int value) {
    switch (value) {
    case 1:
        return Qt::Checked;
    case 2:
        return Qt::PartiallyChecked;
    default:
        return Qt::Unchecked;
    }
}

} // namespace

Form2::Form2(QWidget& databaseWindow, const database::DatabaseLocation& location, WindowServices& services,
             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_databaseWindow(databaseWindow), m_location(location), m_services(services), m_pointer(*this),
      m_ui(*this, m_pointer, services.dialogs) {
    setObjectName(QStringLiteral("Form2"));
    buildLayout();
    m_tableList = std::make_unique<ListBoxTableList>(*m_list1);
    setTabOrder();
    m_hoverRules = new HoverPointerRules(
        *this, m_pointer, {m_pushButton1, m_pushButton3, m_pushButton4, m_pushButton5, m_pushButton6, m_pushButton8},
        {m_frame1, m_frame2, m_frame3, m_frame4, m_label1, m_list1, m_text3, m_listView1});
    m_ui.setProgressHandler(
        [this](const std::optional<importer::ImportProgress>& progress) { showProgress(progress); });
    m_run = std::make_unique<importer::ImportRun>(importer::ImportEnvironment{
        *this, *m_listView1, *m_tableList, m_ui, [this] { return database::AccessConnectionString(m_location); },
        m_services.providers, m_services.logPath});
    connectHandlers();
    Form_Load();
}

Form2::~Form2() = default;

void Form2::buildLayout() {
    setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
    setFont(controlFont());
    setWindowIcon(importWindowIcon()); // its own, not the program's

    m_listView1 = place(new filelist::FileListView(this), "ListView1", 120, 120, 5160, 2535, controlFont());
    m_pushButton2 = place(new PictureButton(QStringLiteral("Move Up"), blueArrow(ArrowDirection::Up), this),
                          "PushButton2", 5390, 120, 855, 1220, pushButtonFont());
    m_pushButton7 = place(new PictureButton(QStringLiteral("Move Down"), blueArrow(ArrowDirection::Down), this),
                          "PushButton7", 5390, 1440, 855, 1220, pushButtonFont());
    m_pushButton3 = pushButton(this, "PushButton3", QStringLiteral("Add Text File(s)"), 120, 2760, 2895, 405);
    m_pushButton4 = pushButton(this, "PushButton4", QStringLiteral("Add All File(s) In Folder"), 3120, 2760, 3120, 405);

    m_frame1 = frame(this, "Frame1", QStringLiteral("Separation Options"), 120, 3240, 6120, 1815);
    m_label1 = label(m_frame1, "Label1", QStringLiteral("In text file, fields are separated by:"), 240, 300, 3135, 255);
    m_option5 = optionButton(m_frame1, "Option5", QStringLiteral("Comma-space"), 360, 650, 1695, 255);
    m_option6 = optionButton(m_frame1, "Option6", QStringLiteral("Comma"), 360, 1000, 1095, 255);
    m_option7 = optionButton(m_frame1, "Option7", QStringLiteral("Other"), 360, 1350, 855, 255);
    m_text3 = textBox(m_frame1, "Text3", 1320, 1320, 2415, 330);
    m_pushButton6 = pushButton(m_frame1, "PushButton6", QStringLiteral("?"), 3840, 1320, 495, 330);

    m_frame2 = frame(this, "Frame2", QStringLiteral("Create / Append Options"), 120, 5160, 6120, 4600);
    m_option1 =
        optionButton(m_frame2, "Option1", QStringLiteral("Create New Table From Text File"), 180, 300, 3495, 255);
    m_frame3 = frame(m_frame2, "Frame3", QStringLiteral("Create Options"), 360, 600, 5535, 1400);
    m_label5 = label(m_frame3, "Label5", QStringLiteral("Table Name:"), 240, 300, 1215, 255);
    m_text2 = textBox(m_frame3, "Text2", 1440, 260, 3975, 330);
    m_option3 = optionButton(m_frame3, "Option3",
                             QStringLiteral("First line in file will be used to create table column names"), 240, 650,
                             5175, 255);
    m_option4 = optionButton(m_frame3, "Option4",
                             QStringLiteral("You will specify columns names after clicking 'Start'"), 240, 1000, 5055,
                             255);
    m_option2 = optionButton(m_frame2, "Option2", QStringLiteral("Append To Existing Table Using Text File"), 180, 2160,
                             4095, 255);
    m_frame4 = frame(m_frame2, "Frame4", QStringLiteral("Append Options"), 420, 2460, 5535, 2000);
    m_label2 = label(m_frame4, "Label2", QStringLiteral("Append To This Table:"), 240, 300, 2055, 255);
    m_pushButton8 = pushButton(m_frame4, "PushButton8", QStringLiteral("?"), 240, 600, 495, 330);
    m_list1 = place(new QListWidget(m_frame4), "List1", 2160, 300, 3255, 1185, controlFont());
    m_check2 = place(new QCheckBox(QStringLiteral("Ignore first line in file because it is a header row (title row)"),
                                   m_frame4),
                     "Check2", 240, 1590, 5220, 255, controlFont());

    m_pushButton1 = pushButton(this, "PushButton1", QStringLiteral("Start Importing"), 120, 9885, 3015, 405);
    m_pushButton5 = pushButton(this, "PushButton5", QStringLiteral("Switch Access Database"), 3240, 9885, 3000, 405);

    m_list1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pushButton2->setIconSize(QSize(32, 32));
    m_pushButton7->setIconSize(QSize(32, 32));

    // Qt's automatic exclusivity takes in the option buttons of nested frames too (Option3
    // and Option4 would join the mode group), so each container's group is made explicit.
    for (const QList<QRadioButton*>& members : {QList<QRadioButton*>{m_option5, m_option6, m_option7},
                                                QList<QRadioButton*>{m_option1, m_option2},
                                                QList<QRadioButton*>{m_option3, m_option4}}) {
        auto* group = new QButtonGroup(this);
        for (QRadioButton* button : members)
            group->addButton(button);
    }

    // The design state is create mode.
    m_option5->setChecked(true);
    m_option1->setChecked(true);
    m_option3->setChecked(true);
    m_frame4->setEnabled(false);
    m_label2->setEnabled(false);
    m_list1->setEnabled(false);
    m_check2->setEnabled(false);
    applyClassicMetrics(*this);
    letEnterPressFocusedButtons(*this);
    m_screenFit = new ScreenFit(*this);
}

// The keyboard order of the design; frames and labels take no focus and are left out.
void Form2::setTabOrder() {
    const QList<QWidget*> order{m_listView1, m_pushButton3, m_pushButton4, m_option1,     m_option3,
                                m_option4,   m_text2,       m_option2,     m_check2,      m_list1,
                                m_pushButton1, m_pushButton5, m_text3,     m_pushButton6, m_option5,
                                m_option6,   m_option7,     m_pushButton2, m_pushButton7, m_pushButton8};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form2::connectHandlers() {
    // A click on an option button, also on the selected one, raises its click handling;
    // restoring a selection from the store calls the same handler (Form_Load).
    connect(m_option1, &QRadioButton::clicked, this, &Form2::Option1_Click);
    connect(m_option2, &QRadioButton::clicked, this, &Form2::Option2_Click);
    connect(m_option3, &QRadioButton::clicked, this, &Form2::Option3_Click);
    connect(m_option4, &QRadioButton::clicked, this, &Form2::Option4_Click);
    connect(m_option5, &QRadioButton::clicked, this, &Form2::Option5_Click);
    connect(m_option6, &QRadioButton::clicked, this, &Form2::Option6_Click);
    connect(m_option7, &QRadioButton::clicked, this, &Form2::Option7_Click);
    // Every change of the state, by the user or by the program, saves it.
    connect(m_check2, &QCheckBox::stateChanged, this, &Form2::Check2_Click);
    connect(m_text2, &QLineEdit::textChanged, this, &Form2::Text2_Change);
    connect(m_text3, &QLineEdit::textChanged, this, &Form2::Text3_Change);
    connect(m_pushButton1, &QPushButton::clicked, this, &Form2::PushButton1_Click);
    connect(m_pushButton2, &QPushButton::clicked, this, &Form2::PushButton2_Click);
    connect(m_pushButton3, &QPushButton::clicked, this, &Form2::PushButton3_Click);
    connect(m_pushButton4, &QPushButton::clicked, this, &Form2::PushButton4_Click);
    connect(m_pushButton7, &QPushButton::clicked, this, &Form2::PushButton7_Click);
    connect(m_pushButton5, &QPushButton::clicked, this, &Form2::PushButton5_Click);
    connect(m_pushButton6, &QPushButton::clicked, this, &Form2::PushButton6_Click);
    connect(m_pushButton8, &QPushButton::clicked, this, &Form2::PushButton8_Click);
}

void Form2::restoreOption(QRadioButton* button, const QString& key, bool defaultValue, void (Form2::*click)()) {
    const bool selected = settings::readBoolean(m_services.store, kSectionTarnwick, key, defaultValue);
    // Clearing a selection raises nothing; an auto-exclusive button cannot be cleared
    // alone anyway, so the group's next selected button takes over.
    if (!selected)
        return;
    button->setChecked(true);
    (this->*click)();
}

void Form2::Form_Load() {
    applyButtonFace(*this);

    settings::SettingsStore& store = m_services.store;
    m_check2->setCheckState(checkStateFromValue(settings::readCheckBox(store, kSectionTarnwick, key::kCheck2)));
    m_text2->setText(store.read(kSectionTarnwick, key::kText2, key::kText2Default));
    m_text3->setText(store.read(kSectionTarnwick, key::kText3, key::kText3Default));
    restoreOption(m_option5, key::kOption5, true, &Form2::Option5_Click);
    restoreOption(m_option6, key::kOption6, false, &Form2::Option6_Click);
    restoreOption(m_option7, key::kOption7, false, &Form2::Option7_Click);
    restoreOption(m_option1, key::kOption1, true, &Form2::Option1_Click);
    restoreOption(m_option2, key::kOption2, false, &Form2::Option2_Click);
    restoreOption(m_option3, key::kOption3, true, &Form2::Option3_Click);
    restoreOption(m_option4, key::kOption4, false, &Form2::Option4_Click);

    m_screenFit->fitAndCentre();
    m_pointer.setCustomCursor(loadHandCursor(m_services.programFolder));
    setWindowTitle(kApplicationTitle);
    m_listView1->setUpColumn(pixels(kFileColumnWidth));
    m_listView1->setDragCursorLookup([this] { return m_services.programFolder.find(kDragCursorFile); });
}

bool Form2::Option1() const { return m_option1->isChecked(); }
bool Form2::Option2() const { return m_option2->isChecked(); }
bool Form2::Option3() const { return m_option3->isChecked(); }
bool Form2::Option4() const { return m_option4->isChecked(); }
bool Form2::Option5() const { return m_option5->isChecked(); }
bool Form2::Option6() const { return m_option6->isChecked(); }
bool Form2::Option7() const { return m_option7->isChecked(); }
int Form2::Check2() const { return checkBoxValue(m_check2->checkState()); }
QString Form2::Text2() const { return m_text2->text(); }
QString Form2::Text3() const { return m_text3->text(); }

void Form2::saveModeKeys() {
    settings::saveBoolean(m_services.store, kSectionTarnwick, key::kOption1, m_option1->isChecked());
    settings::saveBoolean(m_services.store, kSectionTarnwick, key::kOption2, m_option2->isChecked());
}

void Form2::saveColumnNameKeys() {
    settings::saveBoolean(m_services.store, kSectionTarnwick, key::kOption3, m_option3->isChecked());
    settings::saveBoolean(m_services.store, kSectionTarnwick, key::kOption4, m_option4->isChecked());
}

void Form2::saveSeparatorKeys() {
    settings::saveBoolean(m_services.store, kSectionTarnwick, key::kOption5, m_option5->isChecked());
    settings::saveBoolean(m_services.store, kSectionTarnwick, key::kOption6, m_option6->isChecked());
    settings::saveBoolean(m_services.store, kSectionTarnwick, key::kOption7, m_option7->isChecked());
}

// Only the controls of the two modes change; Frame2, Frame3 and the separator stay as they are.
void Form2::applyCreateRules() {
    m_option3->setEnabled(true);
    m_option4->setEnabled(true);
    m_label5->setEnabled(true);
    m_text2->setEnabled(true);
    m_frame4->setEnabled(false);
    m_label2->setEnabled(false);
    m_list1->setEnabled(false);
    m_check2->setEnabled(false);
    m_frame2->setEnabled(true);
}

void Form2::applyAppendRules() {
    m_option3->setEnabled(false);
    m_option4->setEnabled(false);
    m_label5->setEnabled(false);
    m_text2->setEnabled(false);
    m_frame4->setEnabled(true);
    m_label2->setEnabled(true);
    m_list1->setEnabled(true);
    m_check2->setEnabled(true);
    m_frame2->setEnabled(true);
}

void Form2::Option1_Click() {
    saveModeKeys();
    if (m_option1->isChecked())
        applyCreateRules();
}

void Form2::Option2_Click() {
    saveModeKeys();
    if (m_option2->isChecked())
        applyAppendRules();
}

void Form2::Option3_Click() { saveColumnNameKeys(); }
void Form2::Option4_Click() { saveColumnNameKeys(); }
void Form2::Option5_Click() { saveSeparatorKeys(); }
void Form2::Option6_Click() { saveSeparatorKeys(); }
void Form2::Option7_Click() { saveSeparatorKeys(); }

void Form2::Check2_Click() {
    settings::saveCheckBox(m_services.store, kSectionTarnwick, key::kCheck2, Check2());
}

void Form2::Text2_Change() { m_services.store.save(kSectionTarnwick, key::kText2, m_text2->text()); }

void Form2::Text3_Change() { m_services.store.save(kSectionTarnwick, key::kText3, m_text3->text()); }

void Form2::PushButton1_Click() {
    if (m_run->isRunning())
        return;
    enableRunControls(false);
    m_run->start();
    m_ui.endProgress();
    enableRunControls(true);
    if (m_endAfterRun) {
        m_endAfterRun = false;
        if (m_services.endProgram)
            m_services.endProgram();
    }
}

// The lists, the options and every button that changes them or starts a run. Their
// containers are switched, so each control inside keeps its own state of the mode rules.
void Form2::enableRunControls(bool enabled) {
    for (QWidget* control : QList<QWidget*>{m_listView1, m_pushButton2, m_pushButton7, m_pushButton3, m_pushButton4,
                                            m_frame1, m_frame2, m_pushButton1, m_pushButton5})
        control->setEnabled(enabled);
}

bool Form2::askToStopRunningImport() {
    if (!m_run->isRunning())
        return false;
    if (!m_endAfterRun && m_services.dialogs.question(this, kStopImportQuestion, kApplicationTitle)) {
        m_endAfterRun = true;
        m_run->requestStop();
    }
    return true;
}

void Form2::PushButton2_Click() { filelist::MoveSelectedEntryUp(*m_listView1); }

void Form2::PushButton3_Click() { AddTextFiles(*this, m_services.dialogs, *m_listView1); }

void Form2::PushButton4_Click() {
    AddAllFilesInFolder(*this, m_services.dialogs, m_services.store, m_pointer, *m_listView1);
}

void Form2::PushButton7_Click() { filelist::MoveSelectedEntryDown(*m_listView1); }

void Form2::showProgress(const std::optional<importer::ImportProgress>& progress) {
    if (!progress) {
        setWindowTitle(kApplicationTitle);
        return;
    }
    const int percent = progress->lineCount > 0 ? (progress->line + 1) * 100 / progress->lineCount : 100;
    setWindowTitle(QStringLiteral("%1 - file %2 of %3, %4 %")
                       .arg(kApplicationTitle)
                       .arg(progress->file)
                       .arg(progress->fileCount)
                       .arg(percent));
}

void Form2::PushButton5_Click() {
    m_databaseWindow.show();
    hide();
}

void Form2::PushButton6_Click() { m_ui.messageBox(kSeparatorHelp, importer::MessageIcon::None, QString()); }

void Form2::PushButton8_Click() { m_ui.messageBox(kAppendHelp, importer::MessageIcon::None, QString()); }

void Form2::closeEvent(QCloseEvent* event) {
    if (askToStopRunningImport()) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_services.endProgram)
        m_services.endProgram();
}

} // namespace gui
