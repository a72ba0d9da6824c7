#pragma once

#include "database/storage/database.h"
#include "database/storage/engine/table_writers.h"

#include <string>

namespace storage {

// Makes a new table known: its row in MSysObjects (under the Tables container, owned
// as the database object is, created and updated `now`) and one full-access row in
// MSysACEs for each account that has rights on the Tables container, with the entries
// of both tables' indexes.
Status registerNewTable(Database& database, TableWriters& writers, uint32_t definitionPage, const std::string& name,
                        DateTime now);

// Now, in local time, as Access dates its objects.
DateTime localTimeNow();

} // namespace storage
