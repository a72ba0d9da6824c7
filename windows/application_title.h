#pragma once

#include <QString>

namespace gui {

// The product name: window captions and the title of every message box given none.
inline const QString kApplicationTitle = QStringLiteral("Tarnwick");

} // namespace gui
