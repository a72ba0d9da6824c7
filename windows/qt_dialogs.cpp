#include "windows/qt_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace gui {

QString displayText(const QString& text) {
    QString display = text;
    display.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    display.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return display;
}

QMessageBox* createMessageBox(QWidget* parent, const QString& text, importer::MessageIcon icon,
                              const QString& title) {
    auto* box = new QMessageBox(icon == importer::MessageIcon::Exclamation ? QMessageBox::Warning
                                                                            : QMessageBox::NoIcon,
                                title, displayText(text), QMessageBox::Ok, parent);
    box->setTextFormat(Qt::PlainText);
    return box;
}

void QtDialogs::messageBox(QWidget* parent, const QString& text, importer::MessageIcon icon, const QString& title) {
    std::unique_ptr<QMessageBox> box(createMessageBox(parent, text, icon, title));
    box->exec();
}

bool QtDialogs::question(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox box(QMessageBox::Question, title, displayText(text), QMessageBox::Yes | QMessageBox::No, parent);
    box.setTextFormat(Qt::PlainText);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString QtDialogs::inputBox(QWidget* parent, const QString& prompt, const QString& title,
                            const QString& defaultText) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(parent, title, displayText(prompt), QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtDialogs::openFileName(QWidget* parent, const FileDialogRequest& request) {
    const QString filter = request.nameFilters.join(QStringLiteral(";;"));
    const QString first = request.nameFilters.value(0);
    QString selected = first;
    return QFileDialog::getOpenFileName(parent, request.title, request.fileName, filter, &selected);
}

QStringList QtDialogs::openFileNames(QWidget* parent, const FileDialogRequest& request) {
    const QString filter = request.nameFilters.join(QStringLiteral(";;"));
    QString selected = request.nameFilters.value(0);
    return QFileDialog::getOpenFileNames(parent, request.title, request.fileName, filter, &selected);
}

// Only folders of the file system can be chosen.
QString QtDialogs::folderName(QWidget* parent, const QString& prompt) {
    return QFileDialog::getExistingDirectory(parent, prompt, QString(), QFileDialog::ShowDirsOnly);
}

} // namespace gui
