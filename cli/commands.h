#pragma once

#include "cli/arguments.h"

namespace cli {

// Each command returns the process exit status: 0 on success.
int runTables(const Arguments& arguments);
int runDump(const Arguments& arguments);
int runImport(const Arguments& arguments);
int runNewDatabase(const Arguments& arguments);
int runCheck(const Arguments& arguments);

} // namespace cli
