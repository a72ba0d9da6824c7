#pragma once

#include "database/storage/check/check_report.h"
#include "database/storage/database.h"
#include "support/commands.h"
#include "support/temp_dir.h"

#include <optional>
#include <string>
#include <vector>

namespace checktest {

// A fixture's path, or empty when the fixture folder is missing.
std::string fixturePath(const std::string& relative);
// Copies a fixture into `folder` under `name`, writable; the copy's path.
std::string copyFixture(const std::string& relative, const testsupport::TempDir& folder, const std::string& name);

struct CheckResult {
    bool opened = false;
    std::string openError;
    storage::check::CheckReport report;
};
// The full check of the database at path, opened read-only (no recovery).
CheckResult checkFile(const std::string& path, const std::string& password = {});
// The faults and warnings as one text each ("fault, page 3, 'T': ..."), for comparisons and
// messages: what this engine writes must not even leave a stale counter.
std::vector<std::string> faultTexts(const storage::check::CheckReport& report);

using Rows = std::vector<std::vector<std::string>>;
// A table's rows as this engine reads them, each cell formatted as text (Null empty);
// nullopt when the table does not exist.
std::optional<Rows> engineRows(storage::Database& database, const std::string& table);
std::optional<Rows> engineRows(const std::string& path, const std::string& table, const std::string& password = {});

// Whether some index of the table has grown beyond one page (its root is a node page).
bool hasSplitIndex(const std::string& path, const std::string& table);

using testsupport::haveMdbtools;
// A table's rows as mdb-export prints them, without the header line; nullopt when
// mdb-export fails. The cells hold no quotes or line breaks in these tests.
std::optional<Rows> mdbtoolsRows(const std::string& path, const std::string& table);
// The first `count` cells of each row.
Rows leadingCells(const Rows& rows, std::size_t count);

} // namespace checktest
