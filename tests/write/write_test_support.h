#pragma once

#include "database/storage/database.h"
#include "database/storage/table/table_definition.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace storage::write_test {

// The folder of Access-made databases, or empty when it does not exist.
std::filesystem::path fixturesDir();
#define SKIP_WITHOUT_FIXTURES()                                                                                        \
    do {                                                                                                               \
        if (::storage::write_test::fixturesDir().empty())                                                              \
            GTEST_SKIP() << "fixture folder not found";                                                                \
    } while (0)

// Opens a fixture from a copy of its bytes in memory: the file itself is never opened for writing.
std::unique_ptr<Database> openFixture(const std::string& relativePath);

// "7F 4A 01 00" to bytes and back.
std::vector<uint8_t> hex(std::string_view text);
std::string toHex(Bytes bytes);

// A column of the given type with the usual flags of a user column.
ColumnDefinition makeColumn(ColumnType type, uint16_t length = 0, uint16_t number = 0);

// The logical buffer of a table definition (first page, then continuation pages without their headers).
std::vector<uint8_t> definitionBuffer(Database& database, const TableDefinition& def);

} // namespace storage::write_test
