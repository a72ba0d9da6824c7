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
    if (m_state == importer::pointer::kBusy)
        coverOwnPointers();
    else
        uncoverOwnPointers();
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

void WindowPointer::coverOwnPointers() {
    if (m_covering)
        return;
    m_covering = true;
    for (QWidget* child : m_window.findChildren<QWidget*>()) {
        if (!child->testAttribute(Qt::WA_SetCursor) || child->isWindow())
            continue;
        m_ownPointers.append({QPointer<QWidget>(child), child->cursor()});
        child->setCursor(Qt::WaitCursor);
    }
}

void WindowPointer::uncoverOwnPointers() {
    if (!m_covering)
        return;
    m_covering = false;
    for (const auto& [widget, cursor] : std::as_const(m_ownPointers))
        if (widget)
            widget->setCursor(cursor);
    m_ownPointers.clear();
}

} // namespace gui
