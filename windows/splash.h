#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;

namespace settings {
class SettingsStore;
}

namespace gui {

struct WindowServices;

// The start-up picture: borderless, the picture at its own size in the top left corner
// with a 300-twip strip below it for "Hide this at next startup", and a one-pixel edge.
class Splash : public QWidget {
    Q_OBJECT
public:
    explicit Splash(settings::SettingsStore& store, QWidget* parent = nullptr);

    // Shows `picture` and sizes the window to it; false when the file is no picture.
    bool setPicture(const QString& path);
    void Check1_Click();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    settings::SettingsStore& m_store;
    QLabel* m_image1 = nullptr;
    QCheckBox* m_check1 = nullptr;
};

// The name the two switches of section "Name" are compared with, letter case included.
inline const QString kAuthorName = QStringLiteral("Tomas Wendt");

// Shows the splash for four seconds (0.4 with the "Name" switch) and hides it again,
// unless "Name2" holds the author name, "ShowAgain" is not 0, or the program folder's
// "Splash" folder has no readable picture. The splash stays created, hidden, as a child
// of `owner` until the owner goes; it is returned, or nullptr when none was shown.
Splash* SplashShow(WindowServices& services, QWidget& owner);

// Waits `milliseconds` while the windows go on repainting and taking input.
void waitProcessingEvents(int milliseconds);

} // namespace gui
