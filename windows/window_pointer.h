#pragma once

#include "import/user_interface.h"

#include <QCursor>
#include <QList>
#include <QPointer>

#include <optional>

class QWidget;

namespace gui {

// The pointer of one window: default (0), busy (11) or custom (99, the window's own
// picture; the default arrow when it has none). Other values show the default pointer.
// While busy, controls with a pointer of their own (the I-beam of text boxes) show the
// busy pointer too, and get their own back afterwards.
class WindowPointer {
public:
    explicit WindowPointer(QWidget& window) : m_window(window) {}

    int state() const { return m_state; }
    void setState(int state);
    bool isBusy() const { return m_state == importer::pointer::kBusy; }

    void setCustomCursor(std::optional<QCursor> cursor);
    bool hasCustomCursor() const { return m_custom.has_value(); }

private:
    void apply();
    void coverOwnPointers();
    void uncoverOwnPointers();

    QWidget& m_window;
    bool m_covering = false;
    QList<std::pair<QPointer<QWidget>, QCursor>> m_ownPointers;
    int m_state = importer::pointer::kDefault;
    std::optional<QCursor> m_custom;
};

} // namespace gui
