#pragma once

#include <QIcon>

namespace gui {

// The side of both window icons, in pixels.
constexpr int kWindowIconSide = 32;

// The program's icon, which the database window carries: a table with an arrow going
// into it. Drawn rather than loaded, like the move arrows, so no picture file is needed.
QIcon applicationIcon();

// The import window's own icon: a text file going into a table.
QIcon importWindowIcon();

} // namespace gui
