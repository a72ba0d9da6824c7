#pragma once

#include "windows/dialogs.h"

class QMessageBox;

namespace gui {

// Dialogs shown with Qt's own message box, input dialog and file dialog.
class QtDialogs : public Dialogs {
public:
    void messageBox(QWidget* parent, const QString& text, importer::MessageIcon icon,
                    const QString& title) override;
    bool question(QWidget* parent, const QString& text, const QString& title) override;
    QString inputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString openFileName(QWidget* parent, const FileDialogRequest& request) override;
    QStringList openFileNames(QWidget* parent, const FileDialogRequest& request) override;
    QString folderName(QWidget* parent, const QString& prompt) override;
};

// The message box that messageBox shows, not yet shown; the caller owns it.
QMessageBox* createMessageBox(QWidget* parent, const QString& text, importer::MessageIcon icon,
                              const QString& title);

// Message texts break lines at CR LF, and also at a lone CR; Qt breaks only at LF.
QString displayText(const QString& text);

} // namespace gui
