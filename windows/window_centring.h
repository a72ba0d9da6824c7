#pragma once

#include <QPointF>
#include <QSizeF>

class QWidget;

namespace gui {

// The top-left corner that centres a window of outer size `window` on a screen of size
// `screen` (any unit, fractions kept); negative when the window is larger than the screen.
QPointF centredPosition(const QSizeF& screen, const QSizeF& window);

// Centres the window, frame and title bar included, on the available area of the screen
// it is on (the screen without its task bars).
void centreWindow(QWidget& window);

} // namespace gui
