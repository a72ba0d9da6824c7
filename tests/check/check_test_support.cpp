#include "check_test_support.h"

#include "database/storage/check/database_check.h"
#include "database/storage/database.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/write/index_page.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace checktest {

std::string fixturePath(const std::string& relative) {
    const fs::path path = fs::path(TARNWICK_FIXTURES_DIR) / relative;
    return fs::exists(path) ? path.string() : std::string();
}

std::string copyFixture(const std::string& relative, const testsupport::TempDir& folder, const std::string& name) {
    const std::string target = folder.file(name);
    fs::copy_file(fs::path(TARNWICK_FIXTURES_DIR) / relative, target, fs::copy_options::overwrite_existing);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
    return target;
}

CheckResult checkFile(const std::string& path, const std::string& password) {
    CheckResult result;
    storage::OpenOptions options;
    options.password = password;
    auto database = storage::Database::open(path, options);
    if (!database) {
        result.openError = database.error().description;
        return result;
    }
    result.opened = true;
    result.report = storage::check::checkDatabase(**database);
    return result;
}

std::vector<std::string> faultTexts(const storage::check::CheckReport& report) {
    std::vector<std::string> out;
    for (const storage::check::Finding& finding : report.findings)
        if (finding.kind == storage::check::Finding::Kind::Fault ||
            finding.kind == storage::check::Finding::Kind::Warning)
            out.push_back(storage::check::describe(finding));
    return out;
}

std::optional<Rows> engineRows(const std::string& path, const std::string& table, const std::string& password) {
    auto database = storage::Database::open(path, storage::OpenOptions{password});
    if (!database)
        return std::nullopt;
    return engineRows(**database, table);
}

std::optional<Rows> engineRows(storage::Database& database, const std::string& table) {
    auto cursor = database.openTable(table);
    if (!cursor)
        return std::nullopt;
    Rows rows;
    storage::Row row;
    while (cursor->next(row)) {
        std::vector<std::string> cells;
        for (const storage::Value& value : row)
            cells.push_back(value.isNull() ? std::string() : storage::formatValue(value));
        rows.push_back(std::move(cells));
    }
    if (!cursor->status())
        return std::nullopt;
    return rows;
}

bool hasSplitIndex(const std::string& path, const std::string& table) {
    auto database = storage::Database::open(path, storage::OpenOptions{});
    if (!database)
        return false;
    const storage::CatalogEntry* entry = (*database)->catalog().findInTables(table);
    if (!entry)
        return false;
    auto def = storage::readTableDefinition((*database)->pages(), static_cast<uint32_t>(entry->id));
    if (!def)
        return false;
    for (const storage::RealIndex& index : def->realIndexes)
        if (auto root = (*database)->pages().page(index.rootPage); root && (**root)[0] == storage::kIndexNodePageType)
            return true;
    return false;
}

namespace {

std::optional<std::string> commandOutput(const std::string& command) {
    std::string output;
    if (!testsupport::runCommand(command, output))
        return std::nullopt;
    return output;
}

// One CSV line of mdb-export: cells separated by commas, text in double quotes.
std::vector<std::string> csvCells(const std::string& line) {
    std::vector<std::string> cells(1);
    bool inQuotes = false;
    for (char c : line) {
        if (c == '"')
            inQuotes = !inQuotes;
        else if (c == ',' && !inQuotes)
            cells.emplace_back();
        else
            cells.back() += c;
    }
    return cells;
}

} // namespace

std::optional<Rows> mdbtoolsRows(const std::string& path, const std::string& table) {
    auto text = commandOutput("mdb-export " + testsupport::shellQuote(path) + " " + testsupport::shellQuote(table) +
                              " 2>/dev/null");
    if (!text)
        return std::nullopt;
    Rows rows;
    std::size_t start = text->find('\n'); // after the header line
    while (start != std::string::npos && start + 1 < text->size()) {
        const std::size_t end = text->find('\n', start + 1);
        rows.push_back(
            csvCells(text->substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1)));
        start = end;
    }
    return rows;
}

Rows leadingCells(const Rows& rows, std::size_t count) {
    Rows out;
    for (const auto& row : rows)
        out.emplace_back(row.begin(), row.begin() + static_cast<std::ptrdiff_t>(std::min(count, row.size())));
    return out;
}

} // namespace checktest
