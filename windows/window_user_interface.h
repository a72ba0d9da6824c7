#pragma once

#include "import/user_interface.h"

#include <QElapsedTimer>

#include <functional>

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
    void progress(const importer::ImportProgress& progress) override;

    void setProgressHandler(std::function<void(const importer::ImportProgress&)> handler);

    static constexpr int kEventIntervalMs = 30;

private:
    QWidget& m_window;
    WindowPointer& m_pointer;
    Dialogs& m_dialogs;
    QElapsedTimer m_sinceEvents;
    QElapsedTimer m_sinceProgress;
    int m_progressFile = 0;
    std::function<void(const importer::ImportProgress&)> m_progressHandler;
};

} // namespace gui
