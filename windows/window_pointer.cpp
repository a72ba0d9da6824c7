#include "windows/window_pointer.h"

#include <QWidget>

namespace gui {

void WindowPointer::setState(int state) {
    m_state = state;
    apply();
}

void WindowPointer::setCustomCursor(std::optional<QCursor> cursor) {
    m_custom = std::move(cursor);
    apply();
}

// The window's cursor reaches every control on it that has no cursor of its own.
void WindowPointer::apply() {
    switch (m_state) {
    case importer::pointer::kBusy:
        m_window.setCursor(Qt::WaitCursor);
        break;
    case importer::pointer::kCustom:
        m_window.setCursor(m_custom.value_or(QCursor(Qt::ArrowCursor)));
        break;
    default:
        m_window.unsetCursor();
        break;
    }
}

} // namespace gui
