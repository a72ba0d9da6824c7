#pragma once

#include "import/user_interface.h"

#include <QElapsedTimer>

#include <functional>
#include <optional>

class QWidget;

namespace gui {

class Dialogs;
class WindowPointer;

// What the import run and the catalogue routines ask of one window: its message and
// input boxes (with the application title when none is given), its pointer, keeping
// it repainted, and a progress display.
class WindowUserInterface : public importer::UserInterface {
public:
    WindowUserInterface(QWidget& window, WindowPointer& pointer, Dialogs& dialogs);

    void messageBox(const QString& text, importer::MessageIcon icon, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    int mousePointer() const override;
    void setMousePointer(int pointer) override;
    // The run asks for this once per value; handling the events at most every
    // kEventInterval keeps the window repainted without slowing the run down.
    void processEvents() override;
    // Reports at most every kEventInterval, but a new file and a file's last line at once.
    void progress(const importer::ImportProgress& progress) override;
    // Clears the progress display, as a run does when it ends and every message or input
    // box does before it appears.
    void endProgress();

    // The handler shows a progress, or clears the display when given none.
    using ProgressHandler = std::function<void(const std::optional<importer::ImportProgress>&)>;
    void setProgressHandler(ProgressHandler handler);

    static constexpr int kEventIntervalMs = 30;

private:
    QWidget& m_window;
    WindowPointer& m_pointer;
    Dialogs& m_dialogs;
    QElapsedTimer m_sinceEvents;
    QElapsedTimer m_sinceProgress;
    int m_progressFile = 0; // 0 while no progress is shown
    ProgressHandler m_progressHandler;
};

} // namespace gui
