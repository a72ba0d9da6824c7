#pragma once

#include "support/commands.h"

#include "database/storage/database.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace storage::test {

// The folder of Access-made databases, or empty when it does not exist.
std::filesystem::path fixturesDir();
#define SKIP_WITHOUT_FIXTURES()                                                                                        \
    do {                                                                                                               \
        if (::storage::test::fixturesDir().empty())                                                                    \
            GTEST_SKIP() << "fixture folder not found";                                                                \
    } while (0)

std::string fixture(const std::string& relativePath);
std::vector<uint8_t> readBytes(const std::filesystem::path& path);

// Opens bytes through an in-memory file.
Result<std::unique_ptr<Database>> openBytes(std::vector<uint8_t> bytes, const OpenOptions& options = {});

// Reads every row of every local table of the catalogue; the first failure.
Status readEverything(Database& database);

using TempDir = testsupport::TempDir;

using testsupport::haveMdbtools;
using testsupport::runCommand;
using testsupport::shellQuote;

} // namespace storage::test
