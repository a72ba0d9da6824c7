#pragma once

#include "database/dataaccess/provider.h"

#include <QString>

#include <functional>

namespace settings {
class SettingsStore;
}

namespace gui {

class Dialogs;

// What both windows share: the settings store, the dialogs, the Access providers, the
// program folder with the optional files, the import log and the way the program ends.
// Tests give a temporary store, scripted dialogs and the recording provider.
struct WindowServices {
    settings::SettingsStore& store;
    Dialogs& dialogs;
    const dataaccess::ProviderRegistry& providers;
    QString programFolder;
    QString logPath;
    // Closing either window ends the program at once.
    std::function<void()> endProgram;
};

} // namespace gui
