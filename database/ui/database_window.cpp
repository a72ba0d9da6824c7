#include "database/ui/database_window.h"

#include "database/table_catalogue.h"
#include "settings/setting_keys.h"
#include "settings/settings_store.h"
#include "windows/button_face.h"
#include "windows/dialogs.h"
#include "windows/enter_key.h"
#include "windows/frame.h"
#include "windows/hover_pointer_rules.h"
#include "windows/screen_fit.h"
#include "windows/twips.h"
#include "windows/window_fonts.h"

#include <QCloseEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace gui {

const QString Form1::kBrowseTitle = QStringLiteral("Select Access Database");
// The first entry stands for the pattern "*.*db" of the Windows dialog, which there
// shows both kinds of database; Qt's filters list the two extensions instead.
const QStringList Form1::kBrowseFilters{
    QStringLiteral("All Microsoft Databases (*.mdb *.accdb)"),
    QStringLiteral("Microsoft Database (*.mdb)"),
    QStringLiteral("Microsoft 2007 Database (*.accdb)"),
};

namespace {

constexpr int kClientWidth = 6360;
constexpr int kClientHeight = 2085;

template <typename Widget>
Widget* place(Widget* widget, const char* name, int left, int top, int width, int height, const QFont& font) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(twipsRect(left, top, width, height));
    widget->setFont(font);
    return widget;
}

} // namespace

Form1::Form1(WindowServices& services, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      m_services(services), m_pointer(*this), m_ui(*this, m_pointer, services.dialogs) {
    setObjectName(QStringLiteral("Form1"));
    buildLayout();
    m_hoverRules = new HoverPointerRules(*this, m_pointer, {m_pushButton3, m_pushButton5}, {m_text1, m_text2});

    connect(m_pushButton3, &QPushButton::clicked, this, &Form1::PushButton3_Click);
    connect(m_pushButton5, &QPushButton::clicked, this, &Form1::PushButton5_Click);
    connect(m_text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    connect(m_text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
    // Enter in either field moves on as "Next >" does.
    connect(m_text1, &QLineEdit::returnPressed, m_pushButton3, &QPushButton::click);
    connect(m_text2, &QLineEdit::returnPressed, m_pushButton3, &QPushButton::click);
    m_text1->installEventFilter(this);
    m_text2->installEventFilter(this);
}

Form1::~Form1() = default;

void Form1::buildLayout() {
    setFixedSize(pixels(kClientWidth), pixels(kClientHeight));
    setFont(arial(9, false));

    m_frame1 = place(new Frame(QStringLiteral("Access Database"), this), "Frame1", 120, 120, 6120, 1335,
                     controlFont());
    m_label5 = place(new QLabel(QStringLiteral("MDB or ACCDB File:"), m_frame1), "Label5", 240, 345, 1935, 255,
                     controlFont());
    m_text1 = place(new QLineEdit(m_frame1), "Text1", 2280, 300, 3015, 345, controlFont());
    m_pushButton5 = place(new QPushButton(QStringLiteral("..."), m_frame1), "PushButton5", 5400, 300, 450, 345,
                          pushButtonFont());
    m_lblPassword = place(new QLabel(QStringLiteral("Password (if required):"), m_frame1), "lblPassword", 240, 840,
                          1950, 225, controlFont());
    m_text2 = place(new QLineEdit(m_frame1), "Text2", 2280, 800, 3585, 345, controlFont());
    m_pushButton3 = place(new QPushButton(QStringLiteral("Next >"), this), "PushButton3", 120, 1560, 6120, 405,
                          pushButtonFont());

    m_text2->setEchoMode(QLineEdit::Password);
    m_text2->setStyleSheet(QStringLiteral("lineedit-password-character: 42")); // "*"

    // The design colours; the skin switch replaces them with the button face.
    for (QWidget* widget : QList<QWidget*>{this, m_frame1, m_label5, m_lblPassword})
        fillBackground(*widget, Qt::white);
    letEnterPressFocusedButtons(*this);
    m_screenFit = new ScreenFit(*this);

    QWidget::setTabOrder(m_pushButton3, m_text1);
    QWidget::setTabOrder(m_text1, m_text2);
    QWidget::setTabOrder(m_text2, m_pushButton5);
    m_pushButton3->setFocus();
}

QString Form1::path() const { return m_text1->text(); }

QString Form1::password() const { return m_text2->text(); }

void Form1::Text1_Change() {
    m_services.store.save(settings::kSectionTarnwick, settings::key::kDatabase, m_text1->text());
}

void Form1::Text2_Change() {
    m_services.store.save(settings::kSectionTarnwick, settings::key::kPassword, m_text2->text());
}

// Reading the catalogue is the whole test of the database: a path without a file does
// nothing, a database that does not open has shown its message, and the window stays.
void Form1::PushButton3_Click() {
    // 100 to 104
    if (!database::NonSystemTables(m_text1->text(), *this, m_ui, m_services.providers))
        return;
    if (!m_importWindow)
        return;
    // 106: the first reference to List1 creates and loads the import window.
    database::AddTablesToAccessListbox(m_importWindow->List1(), m_text1->text(), m_text2->text(), *this, m_ui,
                                       m_services.providers);
    // 108, 110
    m_importWindow->show();
    hide();
}

void Form1::PushButton5_Click() {
    const QString chosen = m_services.dialogs.openFileName(this, FileDialogRequest{kBrowseTitle, kBrowseFilters, {}});
    if (!chosen.isEmpty())
        m_text1->setText(chosen);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusIn && (watched == m_text1 || watched == m_text2)) {
        auto* edit = static_cast<QLineEdit*>(watched);
        edit->selectAll();
        // A click that gives the focus would place the cursor after this; select again once it is handled.
        if (static_cast<QFocusEvent*>(event)->reason() == Qt::MouseFocusReason)
            QTimer::singleShot(0, edit, &QLineEdit::selectAll);
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (m_importWindow && m_importWindow->askToStopRunningImport()) {
        event->ignore();
        return;
    }
    event->accept();
    if (m_services.endProgram)
        m_services.endProgram();
}

} // namespace gui
