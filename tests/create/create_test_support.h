#pragma once

#include "database/storage/database.h"
#include "support/commands.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace storage::create_test {

// One format a database can be created in, with what tells it apart.
struct FormatCase {
    FileFormat format;
    const char* name;          // as --format takes it
    const char* extension;     // what the file is called
    const char* mdbVersion;    // what mdb-ver prints
    const char* accessFixture; // the empty database Access (or the Jet 4 engine) made in it
};
const std::vector<FormatCase>& formatCases();
// For test names and messages: the format's name.
void PrintTo(const FormatCase& format, std::ostream* out);

// The fixture's path, or empty when the fixture folder is missing.
std::string fixturePath(const std::string& relative);

// Creates a database of the case's format in dir; fails the test when that fails.
std::string createIn(const testsupport::TempDir& dir, const FormatCase& format, const std::string& stem = "new");

// Through a writing DatabaseSession: table Stock (Item, Count Text(10)) with the rows
// ('Nails', '200') and ('Café crème', Null); fails the test when that fails.
void addStockTable(const std::string& path, const std::string& password = {});

using testsupport::haveMdbtools;
using testsupport::runCommand;
using testsupport::shellQuote;

} // namespace storage::create_test
