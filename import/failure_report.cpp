#include "import/failure_report.h"

#include "import/ansi_code_page.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace importer {

namespace {
constexpr int kFileNotFound = 53;
constexpr int kPermissionDenied = 70;
constexpr int kPathFileAccessError = 75;

int openFailureNumber(const QFile& file) {
    if (file.error() == QFileDevice::PermissionsError)
        return kPermissionDenied;
    if (!QFileInfo::exists(file.fileName()))
        return kFileNotFound;
    return kPathFileAccessError;
}
} // namespace

QString defaultImportLogPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/import.log");
}

void reportImportFailure(UserInterface& ui, const QString& description, const QString& rowText,
                         const QString& logPath) {
    ui.messageBox(description + QStringLiteral("\r\nPlease email the log file (") + QDir::toNativeSeparators(logPath) +
                      QStringLiteral(") to the support"),
                  MessageIcon::Exclamation);
    QDir().mkpath(QFileInfo(logPath).absolutePath());
    // The log holds a row of the user's data: for the owner's eyes only, from its creation on.
    constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (QFile log(logPath); !log.exists() && log.open(QIODevice::WriteOnly, kOwnerOnly))
        log.close();
    QFile::setPermissions(logPath, kOwnerOnly);
    QString logText = description + QStringLiteral("\r\n") + rowText;
    FileReadWrite(logPath, logText, filemode::kWrite);
}

QString columnMismatchMessage(const QString& path, const QString& separator, int fieldCount, const QString& table,
                              int columnCount) {
    return QStringLiteral("The columns in the text file and the columns in the table must be identical.\r\n\r\n") +
           path + QStringLiteral(" was split by ") + separator + QStringLiteral(" and has ") +
           QString::number(fieldCount) + QStringLiteral(" columns. The table ") + table + QStringLiteral(" has ") +
           QString::number(columnCount) + QStringLiteral(" columns.");
}

QString applicationErrorText(const QString& description, const QString& location, int line) {
    return description + QStringLiteral("\r\n") + location + QStringLiteral("at line ") + QString::number(line) +
           QStringLiteral("\r\rPlease email screenshot of this message to ") + kSupportEmail;
}

void showApplicationError(UserInterface& ui, const QString& description, const QString& location, int line) {
    ui.messageBox(applicationErrorText(description, location, line), MessageIcon::Exclamation,
                  QStringLiteral("Application Error"));
}

int FileReadWrite(const QString& path, QString& text, int mode) {
    QFile file(path);
    switch (mode) {
    case filemode::kRead:
        if (!file.open(QIODevice::ReadOnly))
            return openFailureNumber(file);
        text = AnsiCodePage::decode(file.readAll());
        return file.error() == QFileDevice::NoError ? 0 : kPathFileAccessError;
    case filemode::kWrite:
    case filemode::kAppend: {
        const QIODevice::OpenMode openMode =
            QIODevice::WriteOnly | (mode == filemode::kWrite ? QIODevice::Truncate : QIODevice::Append);
        if (!file.open(openMode))
            return openFailureNumber(file);
        const QByteArray bytes = AnsiCodePage::encode(text + QStringLiteral("\r\n"));
        if (file.write(bytes) != bytes.size() || !file.flush())
            return kPathFileAccessError;
        return 0;
    }
    default:
        return 0;
    }
}

} // namespace importer
