#include "windows/window_icons.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

namespace gui {

namespace {

const QColor kOutline(0x33, 0x3d, 0x4d);
const QColor kGridLine(0xa8, 0xb4, 0xc4);
const QColor kHeaderRow(0x2f, 0x62, 0xb8);
const QColor kHeaderDivider(0x7f, 0xa4, 0xdf);
const QColor kArrowFill(0x3a, 0xa8, 0x4e);
const QColor kArrowEdge(0x1d, 0x62, 0x2b);
const QColor kPaperFold(0xd5, 0xdb, 0xe3);
const QColor kTextLine(0x8c, 0x96, 0xa3);

// Both icons are drawn on whole pixels without smoothing: every pixel is either an opaque
// colour or clear, as in a classic icon with a transparency mask.
QPixmap blankIcon() {
    QPixmap pixmap(kWindowIconSide, kWindowIconSide);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

// A white table inside `outer`: a blue header row and a grid of `columns` by `rows` cells.
void drawTable(QPainter& painter, const QRect& outer, int columns, int rows) {
    constexpr int kHeaderHeight = 4;
    painter.fillRect(outer, kOutline);
    const QRect inside = outer.adjusted(1, 1, -1, -1);
    painter.fillRect(inside, Qt::white);
    painter.fillRect(inside.left(), inside.top(), inside.width(), kHeaderHeight, kHeaderRow);
    const int bodyTop = inside.top() + kHeaderHeight + 1;
    const int bodyHeight = inside.bottom() + 1 - bodyTop;
    painter.fillRect(inside.left(), bodyTop - 1, inside.width(), 1, kOutline);
    for (int column = 1; column < columns; ++column) {
        const int x = inside.left() + inside.width() * column / columns;
        painter.fillRect(x, inside.top(), 1, kHeaderHeight, kHeaderDivider);
        painter.fillRect(x, bodyTop, 1, bodyHeight, kGridLine);
    }
    for (int row = 1; row < rows; ++row)
        painter.fillRect(inside.left(), bodyTop + bodyHeight * row / rows, inside.width(), 1, kGridLine);
}

// A green arrow pointing down, its tip at `tip`; the head's slopes are diagonals so they
// stay clean without smoothing.
void drawDownArrow(QPainter& painter, QPoint tip, int headHalfWidth, int shaftHalfWidth, int shaftLength) {
    const int neck = tip.y() - headHalfWidth;
    const QPolygon arrow{
        {tip.x() - shaftHalfWidth, neck - shaftLength},
        {tip.x() + shaftHalfWidth, neck - shaftLength},
        {tip.x() + shaftHalfWidth, neck},
        {tip.x() + headHalfWidth, neck},
        tip,
        {tip.x() - headHalfWidth, neck},
        {tip.x() - shaftHalfWidth, neck},
    };
    painter.setPen(kArrowEdge);
    painter.setBrush(kArrowFill);
    painter.drawPolygon(arrow);
}

// A sheet of text with its top right corner folded over.
void drawTextFile(QPainter& painter, const QRect& sheet) {
    constexpr int kFold = 4;
    const QPolygon outline{
        sheet.topLeft(),
        {sheet.right() - kFold, sheet.top()},
        {sheet.right(), sheet.top() + kFold},
        sheet.bottomRight(),
        sheet.bottomLeft(),
    };
    painter.setPen(kOutline);
    painter.setBrush(Qt::white);
    painter.drawPolygon(outline);
    painter.setBrush(kPaperFold);
    painter.drawPolygon(QPolygon{
        {sheet.right() - kFold, sheet.top()},
        {sheet.right() - kFold, sheet.top() + kFold},
        {sheet.right(), sheet.top() + kFold},
    });
    for (int y = sheet.top() + kFold + 3; y < sheet.bottom() - 1; y += 3) {
        const int length = (y / 3) % 2 == 0 ? sheet.width() - 5 : sheet.width() - 8;
        painter.fillRect(sheet.left() + 3, y, length, 1, kTextLine);
    }
}

} // namespace

QIcon applicationIcon() {
    QPixmap pixmap = blankIcon();
    QPainter painter(&pixmap);
    drawTable(painter, QRect(2, 10, 28, 20), 3, 3);
    drawDownArrow(painter, QPoint(16, 17), 7, 3, 8);
    return QIcon(pixmap);
}

QIcon importWindowIcon() {
    QPixmap pixmap = blankIcon();
    QPainter painter(&pixmap);
    drawTable(painter, QRect(8, 15, 23, 16), 3, 2);
    drawTextFile(painter, QRect(1, 1, 13, 17));
    drawDownArrow(painter, QPoint(24, 14), 5, 2, 6);
    return QIcon(pixmap);
}

} // namespace gui
