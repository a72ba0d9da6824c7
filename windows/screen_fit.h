#pragma once

#include <QObject>
#include <QSize>

class QScrollArea;
class QWidget;

namespace gui {

// Keeps a window of fixed design size usable on small and scaled screens. Its controls are
// moved into a scroll area that fills the window; the window is as large as its design
// but no larger than the available area of its screen (task bars left out), frame and
// title bar included, so that when the screen is too small the controls scroll inside it
// and every one stays reachable. When the design fits, nothing of the scroll area shows.
// The window's lists also keep their frames whole at fractional scales (125 %, 175 %).
class ScreenFit : public QObject {
    Q_OBJECT
public:
    // Call when the window's controls are built and its fixed size is the design size.
    explicit ScreenFit(QWidget& window);

    // Sizes the window for its screen and centres it there, frame included. Until the
    // window system has drawn the frame its size is not known; the window is fitted and
    // centred again once it is. Moved to another screen, or when its screen's available
    // area changes, the window is fitted again where it stands.
    void fitAndCentre();

    QScrollArea& scrollArea() const { return *m_scrollArea; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit();
    void followScreen();
    QSize frameExtra() const;

    QWidget& m_window;
    QSize m_design;
    QScrollArea* m_scrollArea = nullptr;
    bool m_waitingForFrame = false;
    bool m_followingScreen = false;
};

} // namespace gui
