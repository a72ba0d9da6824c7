#pragma once

#include <QString>

namespace importer {

// Window pointer states.
namespace pointer {
inline constexpr int kDefault = 0;
inline constexpr int kBusy = 11;
inline constexpr int kCustom = 99; // the hand picture
} // namespace pointer

enum class MessageIcon { None, Exclamation };

// How far an import run has come, for a progress display.
struct ImportProgress {
    int file = 0;      // 1-based position of the file being imported
    int fileCount = 0; // files in the run
    int line = 0;      // index of the line just handled
    int lineCount = 0; // lines of the current file
    long long rowsExecuted = 0; // row statements carried out so far in the run
};

// What one file of an import run came to, for a summary of the run.
struct FileReport {
    int file = 0; // 1-based position in the run
    QString path;
    long long rows = 0;  // the file's rows that are in the database
    QString notImported; // why not all of them are; empty when they are
};

// Everything the import engine and the catalogue routines ask of the user or the window.
// Message boxes have an OK button only; an empty title stands for the application title.
class UserInterface {
public:
    virtual ~UserInterface() = default;
    virtual void messageBox(const QString& text, MessageIcon icon = MessageIcon::None,
                            const QString& title = QString()) = 0;
    // The typed text; the empty text when the user cancels.
    virtual QString inputBox(const QString& prompt, const QString& title = QString(),
                             const QString& defaultText = QString()) = 0;
    virtual int mousePointer() const = 0;
    virtual void setMousePointer(int pointer) = 0;
    // Lets the window system handle what is pending, so that windows keep repainting.
    virtual void processEvents() = 0;
    virtual void progress(const ImportProgress& /*progress*/) {}
    virtual void fileDone(const FileReport& /*report*/) {}
};

} // namespace importer
