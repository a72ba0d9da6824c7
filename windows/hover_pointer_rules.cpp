#include "windows/hover_pointer_rules.h"

#include "windows/window_pointer.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

namespace gui {

HoverPointerRules::HoverPointerRules(QWidget& window, WindowPointer& pointer, const QList<QWidget*>& handControls,
                                     const QList<QWidget*>& plainControls)
    : QObject(&window), m_window(window), m_pointer(pointer) {
    for (QWidget* widget : handControls)
        m_hand.insert(widget);
    for (QWidget* widget : plainControls)
        m_plain.insert(widget);
    watchChildren();
}

void HoverPointerRules::watchChildren() {
    watch(&m_window);
    for (QWidget* widget : m_window.findChildren<QWidget*>())
        watch(widget);
}

// Moves without a pressed button reach a widget only when it tracks the mouse.
void HoverPointerRules::watch(QWidget* widget) {
    if (m_watched.contains(widget))
        return;
    m_watched.insert(widget);
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

QWidget* HoverPointerRules::controlOf(QWidget* widget) const {
    auto isControl = [this](const QWidget* w) {
        return w == &m_window || (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")));
    };
    while (widget && !isControl(widget))
        widget = widget->parentWidget();
    while (widget && widget != &m_window && !widget->isEnabled()) {
        widget = widget->parentWidget();
        while (widget && !isControl(widget))
            widget = widget->parentWidget();
    }
    return widget;
}

void HoverPointerRules::pointerMovedOver(QWidget* widget) {
    if (m_pointer.isBusy())
        return;
    const QWidget* control = controlOf(widget);
    if (!control)
        return;
    if (m_hand.contains(control))
        m_pointer.setState(importer::pointer::kCustom);
    else if (control == &m_window || m_plain.contains(control))
        m_pointer.setState(importer::pointer::kDefault);
}

bool HoverPointerRules::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove) {
        const auto* move = static_cast<QMouseEvent*>(event);
        if (move->timestamp() != m_lastTimestamp || move->globalPosition() != m_lastGlobal) {
            m_lastTimestamp = move->timestamp();
            m_lastGlobal = move->globalPosition();
            pointerMovedOver(static_cast<QWidget*>(watched));
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace gui
