#pragma once

#include "database/storage/database.h"

#include <string>
#include <vector>

namespace storage {

// One thing the consistency check found wrong.
struct ConsistencyProblem {
    std::string table;
    std::string description;
};

// Checks every local table of the catalogue: its definition reads, every
// page of its owned-pages map is a data page of that table, and every row
// decodes. Fails only when the file cannot be read at all; damage is reported
// as problems. Grows with the writer.
Result<std::vector<ConsistencyProblem>> checkConsistency(Database& database);

} // namespace storage
