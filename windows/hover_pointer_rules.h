#pragma once

#include <QObject>
#include <QPointF>
#include <QSet>

class QWidget;

namespace gui {

class WindowPointer;

// The pointer feedback of a window: moving over a hand control shows the hand, moving
// over the window's background or a plain control shows the default pointer, and other
// controls leave the pointer as it is. While the window is busy nothing changes.
//
// A control is a widget with a designer name; Qt's inner parts (a list's viewport, a
// view's header, scroll bars) count as their control. A disabled control passes the
// move on to its container, as its mouse events would go there.
class HoverPointerRules : public QObject {
    Q_OBJECT
public:
    HoverPointerRules(QWidget& window, WindowPointer& pointer, const QList<QWidget*>& handControls,
                      const QList<QWidget*>& plainControls);

    // Watches widgets created after construction (call after adding them).
    void watchChildren();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void watch(QWidget* widget);
    QWidget* controlOf(QWidget* widget) const;
    void pointerMovedOver(QWidget* widget);

    QWidget& m_window;
    WindowPointer& m_pointer;
    QSet<const QWidget*> m_hand;
    QSet<const QWidget*> m_plain;
    QSet<const QWidget*> m_watched;
    // One move reaches a widget and then its ancestors; only its first receiver counts.
    quint64 m_lastTimestamp = 0;
    QPointF m_lastGlobal{-1, -1};
};

} // namespace gui
