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
    const QRect area = screen->geometry();
    // Before the window is first shown the frame is not known yet; its size is then the client size.
    const QPointF corner = centredPosition(area.size(), window.frameGeometry().size());
    window.move(area.topLeft() + corner.toPoint());
}

} // namespace gui
