#pragma once

#include "database/storage/check/check_report.h"
#include "database/storage/database.h"

namespace storage::check {

// The full consistency check: every local table of the catalogue as checkTable
// describes it, with its indexes; every page that something refers to belongs to
// exactly one thing and is marked used in the global usage map (page 1); pages marked
// used that nothing refers to are reported as leaks, apart from the faults. Reads only.
CheckReport checkDatabase(Database& database);

} // namespace storage::check
