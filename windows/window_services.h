#pragma once

#include "database/dataaccess/provider.h"
#include "windows/program_folder.h"
#include "windows/web_site_visit.h"

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
    ProgramFolder programFolder;
    QString logPath;
    // Closing either window ends the program at once.
    std::function<void()> endProgram;
    // Left empty, as tests leave it, no start visits the maker's web site.
    WebSiteVisit webSiteVisit = {};
};

} // namespace gui
