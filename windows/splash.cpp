#include "windows/splash.h"

#include "database/file_test.h"
#include "settings/setting_conversions.h"
#include "settings/setting_keys.h"
#include "settings/settings_store.h"
#include "windows/application_title.h"
#include "windows/twips.h"
#include "windows/window_centring.h"
#include "windows/window_fonts.h"
#include "windows/window_services.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace gui {

namespace {

constexpr int kStripTwips = 300;
constexpr int kCheckGapTwips = 20;

// The first name a listing of the "Splash" folder yields; empty without one.
QString firstSplashFile(const ProgramFolder& programFolder) {
    const QString path = programFolder.find(QStringLiteral("Splash"));
    if (path.isEmpty())
        return {};
    const QDir folder(path);
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    return names.isEmpty() ? QString() : folder.filePath(names.first());
}

} // namespace

Splash::Splash(settings::SettingsStore& store, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_store(store) {
    setObjectName(QStringLiteral("Splash"));
    setFixedSize(pixels(4560), pixels(3030));
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    m_image1 = new QLabel(this);
    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setGeometry(twipsRect(120, 240, 1215, 855));
    m_image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_check1 = new QCheckBox(QStringLiteral("Hide this at next startup"), this);
    m_check1->setObjectName(QStringLiteral("Check1"));
    m_check1->setGeometry(twipsRect(120, 1200, 4215, 375));
    m_check1->setFont(controlFont());
    connect(m_check1, &QCheckBox::clicked, this, &Splash::Check1_Click);
    setWindowTitle(kApplicationTitle);
}

bool Splash::setPicture(const QString& path) {
    const QPixmap picture(path);
    if (picture.isNull())
        return false;
    m_image1->setPixmap(picture);
    m_image1->setGeometry(0, 0, picture.width(), picture.height() + pixels(kStripTwips));
    const QSize size = m_image1->size();
    setFixedSize(size);
    m_check1->move(m_check1->x(), size.height() - m_check1->height() - pixels(kCheckGapTwips));
    return true;
}

void Splash::Check1_Click() {
    m_store.save(settings::kSectionTarnwick, settings::key::kShowAgain,
                 m_check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

// The window has no border of its own, so its edges are drawn.
void Splash::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

// A monotonic clock, so that a wait begun just before midnight ends all the same.
void waitProcessingEvents(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

Splash* SplashShow(WindowServices& services, QWidget& owner) {
    using namespace settings;
    if (services.store.read(kSectionName, key::kName2) == kAuthorName)
        return nullptr;
    if (readSplashHidden(services.store))
        return nullptr;
    const QString picture = firstSplashFile(services.programFolder);
    if (picture.isEmpty() || !database::FileTest(picture))
        return nullptr;
    auto splash = std::make_unique<Splash>(services.store, &owner);
    if (!splash->setPicture(picture))
        return nullptr;
    splash->show();
    centreWindow(*splash);
    const bool quick = services.store.read(kSectionName, key::kName) == kAuthorName;
    waitProcessingEvents(quick ? 400 : 4000);
    splash->hide();
    return splash.release();
}

} // namespace gui
