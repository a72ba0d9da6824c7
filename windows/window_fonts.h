#pragma once

#include <QFont>

namespace gui {

// Arial at the given size; where Arial is not installed, fontconfig substitutes its
// metric-compatible stand-in (Liberation Sans), so captions keep their widths.
QFont arial(qreal pointSize, bool bold);

inline QFont controlFont() { return arial(9, true); }      // labels, boxes, frames, lists
inline QFont pushButtonFont() { return arial(11.25, true); } // push buttons

} // namespace gui
