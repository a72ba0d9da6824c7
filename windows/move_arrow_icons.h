#pragma once

#include <QPixmap>

namespace gui {

enum class ArrowDirection { Up, Down };

// The blue arrow of the "Move Up" and "Move Down" buttons, drawn rather than loaded so
// the program needs no picture files; `size` is the square's side in logical pixels.
QPixmap blueArrow(ArrowDirection direction, int size = 32, qreal devicePixelRatio = 1.0);

} // namespace gui
