#pragma once

#include "database/dataaccess/provider.h"
#include "import/import_sources.h"
#include "import/reading_rules.h"
#include "import/user_interface.h"

#include <QString>

#include <functional>

namespace importer {

// What the run needs from its surroundings. The options, the file paths and the selected
// table are taken once, when a run starts; the connection string is built for each file.
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
    Stopped,        // stopped on request between two statements; what is in the table was shown
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
    // Asks a going run to end before its next row statement. What it executed is kept, and
    // it tells how many rows of which file are in the table. Without a run, nothing happens.
    void requestStop() {
        if (m_running)
            m_stopRequested = true;
    }
    // The files the last run passed over: a table already listed or no table name (create
    // mode), a column count that differs from the table's (append mode).
    int skippedFiles() const { return m_skippedFiles; }

private:
    ImportOutcome run();

    ImportEnvironment m_env;
    bool m_running = false;
    bool m_stopRequested = false;
    int m_skippedFiles = 0;
};

} // namespace importer
