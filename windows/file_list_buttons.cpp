#include "windows/file_list_buttons.h"

#include "filelist/folder_scan.h"
#include "filelist/ui/file_list_drop.h"
#include "filelist/ui/file_list_view.h"
#include "settings/setting_keys.h"
#include "settings/settings_store.h"
#include "windows/application_title.h"
#include "windows/dialogs.h"
#include "windows/window_pointer.h"

namespace gui {

// Qt hands back full paths, so each is an entry as it stands; nothing is checked for
// existence or duplicates, a missing file fails when the import reaches it.
void AddTextFiles(QWidget& window, Dialogs& dialogs, filelist::FileListView& list) {
    const QStringList paths = dialogs.openFileNames(&window, FileDialogRequest{kAddFilesTitle, kAddFilesFilters, {}});
    for (const QString& path : paths)
        list.addEntry(path);
}

// The stored answer is only a record of the last one: the prompt always proposes "txt".
void AddAllFilesInFolder(QWidget& window, Dialogs& dialogs, settings::SettingsStore& store, WindowPointer& pointer,
                         filelist::FileListView& list) {
    const QString extension = dialogs.inputBox(&window, kExtensionPrompt, kApplicationTitle, kExtensionDefault);
    if (extension.isEmpty())
        return;
    store.save(settings::kSectionTarnwick, settings::key::kExtension, extension);

    const QString folder = dialogs.folderName(&window, kFolderPrompt);
    if (folder.isEmpty())
        return;
    pointer.setState(importer::pointer::kBusy);
    const QStringList entries =
        filelist::ScanFolder(filelist::folderWithoutSeparator(folder), QStringLiteral("*.") + extension);
    for (const QString& entry : entries)
        list.addEntry(entry);
    pointer.setState(importer::pointer::kDefault);
}

} // namespace gui
