#pragma once

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

// Runs a shell command and returns its standard output; false when it fails.
bool runCommand(const std::string& command, std::string& output);
bool haveMdbtools();
std::string shellQuote(const std::string& text);

} // namespace storage::test
