#pragma once

#include "import/user_interface.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace gui {

// What an open-file dialog is asked to show.
struct FileDialogRequest {
    QString title;
    QStringList nameFilters; // Qt name filters, such as "Microsoft Database (*.mdb)"; the first is in force
    QString fileName;        // proposed name; empty for none
};

// The message boxes, input boxes and file dialogs of the windows. The windows go through
// this interface so that tests can answer instead of a user. Titles arrive resolved:
// the caller has already put the application title in place of an empty one.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A box with an OK button only.
    virtual void messageBox(QWidget* parent, const QString& text, importer::MessageIcon icon,
                            const QString& title) = 0;
    // A box with Yes and No buttons, No the default; true for Yes. Closing the box answers No.
    virtual bool question(QWidget* parent, const QString& text, const QString& title) = 0;
    // The typed text; the empty text when cancelled.
    virtual QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // The chosen file's path; the empty text when cancelled.
    virtual QString openFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    // The chosen files' full paths in the dialog's order; empty when cancelled.
    virtual QStringList openFileNames(QWidget* parent, const FileDialogRequest& request) = 0;
    // The chosen folder's path; the empty text when cancelled.
    virtual QString folderName(QWidget* parent, const QString& prompt) = 0;
};

} // namespace gui
