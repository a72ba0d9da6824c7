#pragma once

#include "database/dataaccess/provider.h"
#include "import/import_sources.h"
#include "import/reading_rules.h"
#include "import/user_interface.h"

#include <QString>

#include <functional>

namespace importer {

// What the run needs from its surroundings. Everything is read when it is needed.
struct ImportEnvironment {
    ImportOptions& options;
    FileList& files;
    TableList& tables;
    UserInterface& ui;
    std::function<QString()> connectionString;
    const dataaccess::ProviderRegistry& providers = dataaccess::ProviderRegistry::standard();
    QString logPath;
    ReadingRules reading = {}; // the literal rules unless the caller chooses others
};

enum class ImportOutcome {
    AlreadyRunning, // a run was going; nothing happened
    Refused,        // a precondition failed; its message was shown
    Done,           // "Done."
    TablesExisted,  // "Table(s) already exist."
    Failed,         // the failure message was shown and the log written
    Cancelled,      // a column-name prompt was cancelled or answered empty
};

// The import run behind "Start Importing": every listed file, in list order, becomes
// one table definition (create mode) and one row statement per non-empty data line,
// each executed at once. The first failure ends the run with a message and the log.
class ImportRun {
public:
    explicit ImportRun(ImportEnvironment environment) : m_env(std::move(environment)) {}

    // Carries out one run. A call made while a run is going (from an event that the
    // run let through) returns AlreadyRunning at once.
    ImportOutcome start();
    bool isRunning() const { return m_running; }

private:
    ImportOutcome run();

    ImportEnvironment m_env;
    bool m_running = false;
};

} // namespace importer
