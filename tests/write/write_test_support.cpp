#include "write_test_support.h"

#include "database/storage/file/memory_file.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace storage::write_test {

std::filesystem::path fixturesDir() {
    std::error_code ignored;
    const std::filesystem::path dir(TARNWICK_FIXTURES_DIR);
    return std::filesystem::is_directory(dir, ignored) ? dir : std::filesystem::path();
}

std::unique_ptr<Database> openFixture(const std::string& relativePath) {
    std::ifstream in(fixturesDir() / relativePath, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto database = Database::open(std::make_unique<MemoryFile>(std::move(bytes)), relativePath, OpenOptions{});
    if (!database)
        return nullptr;
    return std::move(*database);
}

std::vector<uint8_t> hex(std::string_view text) {
    std::vector<uint8_t> out;
    int high = -1;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit < 0)
            continue;
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    return out;
}

std::string toHex(Bytes bytes) {
    std::string out;
    char buffer[4];
    for (uint8_t byte : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X", byte);
        if (!out.empty())
            out += ' ';
        out += buffer;
    }
    return out;
}

ColumnDefinition makeColumn(ColumnType type, uint16_t length, uint16_t number) {
    ColumnDefinition column;
    column.name = "c" + std::to_string(number);
    column.typeCode = static_cast<uint8_t>(type);
    column.number = number;
    column.length = length;
    const bool variable = type == ColumnType::Text || type == ColumnType::Memo || type == ColumnType::Ole ||
                          type == ColumnType::Binary;
    column.flags = variable ? 0x02 : 0x03;
    if (type == ColumnType::Text || type == ColumnType::Memo)
        column.sortOrder = 1033;
    return column;
}

std::vector<uint8_t> definitionBuffer(Database& database, const TableDefinition& def) {
    std::vector<uint8_t> buffer;
    for (std::size_t i = 0; i < def.pages.size(); ++i) {
        auto page = database.pages().page(def.pages[i]);
        if (!page)
            return {};
        const std::vector<uint8_t>& bytes = **page;
        buffer.insert(buffer.end(), bytes.begin() + (i == 0 ? 0 : 8), bytes.end());
    }
    buffer.resize(std::min<std::size_t>(buffer.size(), def.definitionLength));
    return buffer;
}

} // namespace storage::write_test
