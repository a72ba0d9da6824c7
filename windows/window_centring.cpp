#include "windows/window_centring.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace gui {

QPointF centredPosition(const QSizeF& screen, const QSizeF& window) {
    return QPointF((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

void centreWindow(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The area without the task bars, so that no part of the window lies under one. Before
    // the window is first shown the frame is not known yet; its size is then the client size.
    const QRect area = screen->availableGeometry();
    const QPointF corner = centredPosition(area.size(), window.frameGeometry().size());
    window.move(area.topLeft() + corner.toPoint());
}

} // namespace gui
