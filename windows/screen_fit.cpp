#include "windows/screen_fit.h"

#include "windows/window_centring.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>
#include <QWidget>

namespace gui {

namespace {

QRect availableArea(const QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// At scales such as 125 % a list's viewport, rounded to whole screen pixels, can cover the
// last row of its frame. The list paints its background itself, inside the frame's last
// row and column, and the viewport only its items, so the frame drawn around them stays whole.
class FrameBackground : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* list = static_cast<QAbstractScrollArea*>(watched);
            QPainter painter(list);
            painter.fillRect(list->rect().adjusted(0, 0, -1, -1),
                             list->palette().brush(list->viewport()->backgroundRole()));
        }
        return QObject::eventFilter(watched, event);
    }
};

void keepFramesWhole(QWidget& window) {
    auto* background = new FrameBackground(&window);
    for (QAbstractScrollArea* list : window.findChildren<QAbstractScrollArea*>()) {
        if (list->frameShape() == QFrame::NoFrame)
            continue;
        list->installEventFilter(background);
        list->viewport()->setAutoFillBackground(false);
    }
}

} // namespace

ScreenFit::ScreenFit(QWidget& window) : QObject(&window), m_window(window), m_design(window.size()) {
    keepFramesWhole(window);
    m_scrollArea = new QScrollArea(&window);
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    // No stop of its own in the tab order; it scrolls the control that takes the focus into view.
    m_scrollArea->setFocusPolicy(Qt::NoFocus);
    m_scrollArea->setWidgetResizable(false);
    // The scroll area and its viewport show the window's own background.
    m_scrollArea->setBackgroundRole(QPalette::NoRole);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    auto* content = new QWidget(m_scrollArea->viewport());
    content->setFixedSize(m_design);
    for (QObject* child : window.children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget == m_scrollArea || widget->isWindow())
            continue;
        const bool hidden = widget->isHidden();
        widget->setParent(content);
        widget->setVisible(!hidden);
    }
    m_scrollArea->setWidget(content);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_scrollArea);
    window.installEventFilter(this);
}

// The frame's share of the window's outer size; none before the window system gives one.
QSize ScreenFit::frameExtra() const {
    return m_window.frameGeometry().size() - m_window.geometry().size();
}

void ScreenFit::fit() {
    const QRect area = availableArea(m_window);
    if (area.isEmpty())
        return;
    const QSize room = area.size() - frameExtra();
    QSize client = m_design.boundedTo(room);
    // A scroll bar for one direction takes room from the other; it is added where there is room.
    const int bar = m_window.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scrollArea);
    if (client.height() < m_design.height())
        client.setWidth(qMin(client.width() + bar, room.width()));
    if (client.width() < m_design.width())
        client.setHeight(qMin(client.height() + bar, room.height()));
    m_window.setFixedSize(client);
}

void ScreenFit::fitAndCentre() {
    fit();
    centreWindow(m_window);
    m_waitingForFrame = frameExtra().isNull();
}

void ScreenFit::followScreen() {
    QWindow* handle = m_window.windowHandle();
    if (m_followingScreen || !handle)
        return;
    m_followingScreen = true;
    auto watchArea = [this](QScreen* screen) {
        if (screen)
            connect(screen, &QScreen::availableGeometryChanged, this, &ScreenFit::fit, Qt::UniqueConnection);
    };
    watchArea(handle->screen());
    connect(handle, &QWindow::screenChanged, this, [this, watchArea](QScreen* screen) {
        watchArea(screen);
        fit();
    });
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == &m_window && type == QEvent::Show)
        followScreen();
    if (watched == &m_window && m_waitingForFrame &&
        (type == QEvent::Show || type == QEvent::Move || type == QEvent::Resize) && m_window.isVisible() &&
        !frameExtra().isNull()) {
        m_waitingForFrame = false;
        fit();
        centreWindow(m_window);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace gui
