#include "windows/frame.h"

#include <QPainter>
#include <QStyle>

namespace gui {

namespace {
constexpr int kCaptionLeft = 8;    // pixels from the frame's left edge
constexpr int kCaptionPadding = 2; // background shown on each side of the caption
} // namespace

Frame::Frame(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void Frame::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const QRect box = rect().adjusted(0, metrics.height() / 2, -1, -1);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(box.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(box.adjusted(1, 1, 0, 0));

    if (title().isEmpty())
        return;
    const QRect caption(kCaptionLeft, 0, metrics.horizontalAdvance(title()) + 2 * kCaptionPadding, metrics.height());
    painter.fillRect(caption, palette().brush(backgroundRole()));
    style()->drawItemText(&painter, caption, Qt::AlignCenter | Qt::TextShowMnemonic, palette(), isEnabled(), title(),
                          QPalette::WindowText);
}

} // namespace gui
