#pragma once

#include <QRect>
#include <QtGlobal>

namespace gui {

// Window layouts are given in twips, 1440 to the inch; at the 96 dpi of Qt's logical
// pixels that is 15 twips per pixel. Qt scales logical pixels on high-dpi screens.
inline constexpr int kTwipsPerPixel = 15;

inline int pixels(int twips) { return qRound(twips / double(kTwipsPerPixel)); }

inline QRect twipsRect(int left, int top, int width, int height) {
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

} // namespace gui
