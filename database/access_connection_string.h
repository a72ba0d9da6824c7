#pragma once

#include "database/database_location.h"

#include <QString>

namespace database {

// The connection string for the database named by `location`, built afresh at every
// call: the ACE provider when the path's last five characters, lower-cased, are
// "accdb", the Jet provider otherwise; then the path and the password clause, both
// passed exactly as typed.
QString AccessConnectionString(const DatabaseLocation& location);

} // namespace database
