#pragma once

#include "database/database_location.h"

#include <optional>

namespace cli {

// Stops a command early on a database path that cannot be a database: a missing file gets
// Jet's "Could not find file '…'." from the data-access component, with its number as the
// other failures to open have it; a folder gets a sentence of its own. Returns the exit
// status (1) after the message, or nullopt to go on.
std::optional<int> refuseUnusableDatabasePath(const database::DatabaseFields& location);

} // namespace cli
