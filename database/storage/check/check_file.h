#pragma once

#include "database/storage/check/check_report.h"
#include "database/storage/open_options.h"
#include "database/storage/status.h"

#include <string>

namespace storage::check {

// The check of a database file as `tarnwick-cli check` makes it: opened as a writer
// would open it, so that a journal left by a crash is put back first and the check sees
// the database as the next reader will (read-only where writing is not allowed). Fails
// with the open's error; whatever the file holds, it neither crashes nor leaves a lock
// file behind.
Result<CheckReport> checkDatabaseFile(const std::string& path, const OpenOptions& options);

} // namespace storage::check
