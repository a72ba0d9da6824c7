#pragma once

#include "import/user_interface.h"

#include <QString>

namespace importer {

// Where the failure reports send the user.
inline const QString kSupportEmail = QStringLiteral("support@hedgemoor.example");

// Location texts of the routines that report with "Application Error"; each ends
// in a blank so that one stands before "at line ".
inline const QString kLocationNextButton = QStringLiteral("in Quellbrook.Form1.PushButton3_Click ");
inline const QString kLocationNonSystemTables = QStringLiteral("in Quellbrook.Access.NonSystemTables ");
inline const QString kLocationAddTablesToListbox = QStringLiteral("in Quellbrook.Access.AddTablesToAccessListbox ");

// The one log file of failed imports: import.log in the user's local application
// data folder. Each failed run overwrites it.
QString defaultImportLogPath();

// The import failure path: shows the failure with the request to send the log, then
// writes the description and the last row statement to the log (folder created when
// missing; the log readable by its owner only). A log that cannot be written is not
// reported: the user has seen the message.
void reportImportFailure(UserInterface& ui, const QString& description, const QString& rowText,
                         const QString& logPath);

// The text shown when a file's first line and the target table differ in column count.
QString columnMismatchMessage(const QString& path, const QString& separator, int fieldCount,
                              const QString& table, int columnCount);

// The "Application Error" report: description, location, "at line " and the step number.
QString applicationErrorText(const QString& description, const QString& location, int line);
void showApplicationError(UserInterface& ui, const QString& description, const QString& location, int line);

namespace filemode {
inline constexpr int kRead = 1;     // the whole file into `text`
inline constexpr int kWrite = 2;    // create or truncate, write `text` and CR LF
inline constexpr int kAppend = 3;   // create when missing, append `text` and CR LF
} // namespace filemode

// Reads or writes a whole text file in the ANSI code page. Returns 0, or the number of
// the failure (53 file not found, 70 permission denied, 75 path/file access error);
// nothing is raised to the caller.
int FileReadWrite(const QString& path, QString& text, int mode);

} // namespace importer
