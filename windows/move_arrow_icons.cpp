#include "windows/move_arrow_icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace gui {

QPixmap blueArrow(ArrowDirection direction, int size, qreal devicePixelRatio) {
    QPixmap pixmap(QSize(size, size) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);

    // An up arrow on a unit square: a triangular head over a shaft half as wide.
    QPainterPath arrow;
    arrow.moveTo(0.50, 0.06);
    arrow.lineTo(0.94, 0.50);
    arrow.lineTo(0.68, 0.50);
    arrow.lineTo(0.68, 0.94);
    arrow.lineTo(0.32, 0.94);
    arrow.lineTo(0.32, 0.50);
    arrow.lineTo(0.06, 0.50);
    arrow.closeSubpath();

    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QTransform toPixels;
    if (direction == ArrowDirection::Down)
        toPixels.translate(0, size).scale(size, -size);
    else
        toPixels.scale(size, size);
    const QPainterPath shape = toPixels.map(arrow);

    QLinearGradient fill(0, 0, size, size);
    fill.setColorAt(0.0, QColor(0x6f, 0xa8, 0xff));
    fill.setColorAt(1.0, QColor(0x0b, 0x3f, 0xb8));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(0x08, 0x2a, 0x7a), 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(shape);
    return pixmap;
}

} // namespace gui
