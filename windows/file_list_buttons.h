#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace filelist {
class FileListView;
}
namespace settings {
class SettingsStore;
}

namespace gui {

class Dialogs;
class WindowPointer;

// "Add Text File(s)": the chosen files are appended in the dialog's order, whatever their
// extension; a cancel adds nothing.
void AddTextFiles(QWidget& window, Dialogs& dialogs, filelist::FileListView& list);

// "Add All File(s) In Folder": asks for an extension (stored under "Extension") and a
// folder, then appends every file with that extension in the folder and its subfolders.
// The window shows the busy pointer while the folder is read.
void AddAllFilesInFolder(QWidget& window, Dialogs& dialogs, settings::SettingsStore& store, WindowPointer& pointer,
                         filelist::FileListView& list);

inline const QString kAddFilesTitle = QStringLiteral("Add File(s) - Hold Ctrl to select multiple files");
// "All Files" uses "*": Qt's "*.*" would leave out names without a dot.
inline const QStringList kAddFilesFilters{QStringLiteral("Text Files (*.txt)"), QStringLiteral("CSV Files (*.csv)"),
                                          QStringLiteral("All Files (*)")};
inline const QString kExtensionPrompt =
    QStringLiteral("Enter file extension to load:\r\r(* for all files, txt for all txt files, doc for all doc files, "
                   "etc.)");
inline const QString kExtensionDefault = QStringLiteral("txt");
inline const QString kFolderPrompt = QStringLiteral("Please select folder:");

} // namespace gui
