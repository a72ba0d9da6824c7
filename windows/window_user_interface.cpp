#include "windows/window_user_interface.h"

#include "windows/application_title.h"
#include "windows/dialogs.h"
#include "windows/window_pointer.h"

#include <QCoreApplication>

namespace gui {

namespace {
QString titleOrApplication(const QString& title) { return title.isEmpty() ? kApplicationTitle : title; }
} // namespace

WindowUserInterface::WindowUserInterface(QWidget& window, WindowPointer& pointer, Dialogs& dialogs)
    : m_window(window), m_pointer(pointer), m_dialogs(dialogs) {}

void WindowUserInterface::messageBox(const QString& text, importer::MessageIcon icon, const QString& title) {
    endProgress();
    m_dialogs.messageBox(&m_window, text, icon, titleOrApplication(title));
}

QString WindowUserInterface::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    endProgress();
    return m_dialogs.inputBox(&m_window, prompt, titleOrApplication(title), defaultText);
}

int WindowUserInterface::mousePointer() const { return m_pointer.state(); }

void WindowUserInterface::setMousePointer(int pointer) { m_pointer.setState(pointer); }

void WindowUserInterface::processEvents() {
    if (m_sinceEvents.isValid() && m_sinceEvents.elapsed() < kEventIntervalMs)
        return;
    QCoreApplication::processEvents();
    m_sinceEvents.start();
}

void WindowUserInterface::progress(const importer::ImportProgress& progress) {
    if (!m_progressHandler)
        return;
    // A new file is shown at once, so every file of the run appears however fast it goes,
    // and so is a file's end, so that its progress reaches 100 %.
    const bool newFile = progress.file != m_progressFile;
    const bool fileEnd = progress.line + 1 >= progress.lineCount;
    if (!newFile && !fileEnd && m_sinceProgress.isValid() && m_sinceProgress.elapsed() < kEventIntervalMs)
        return;
    m_progressHandler(progress);
    m_progressFile = progress.file;
    m_sinceProgress.start();
}

void WindowUserInterface::endProgress() {
    if (m_progressFile == 0)
        return;
    m_progressFile = 0;
    if (m_progressHandler)
        m_progressHandler(std::nullopt);
}

void WindowUserInterface::setProgressHandler(ProgressHandler handler) {
    m_progressHandler = std::move(handler);
}

} // namespace gui
