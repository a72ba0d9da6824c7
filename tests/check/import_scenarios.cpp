#include "import_scenarios.h"

#include "database/storage/sql/parser.h"

#include <algorithm>

namespace checktest {

std::vector<std::optional<Rows>> ImportScenario::expectedAfter(std::size_t count,
                                                               const std::vector<std::optional<Rows>>& initial) const {
    std::vector<std::optional<Rows>> out = initial;
    for (std::size_t i = 0; i < count && i < statements.size(); ++i) {
        const ImportStatement& statement = statements[i];
        const auto t =
            static_cast<std::size_t>(std::find(tables.begin(), tables.end(), statement.table) - tables.begin());
        if (statement.createsTable)
            out[t] = Rows();
        else
            out[t]->push_back(statement.cells);
    }
    return out;
}

bool ImportScenario::parse(std::string& failed) {
    for (ImportStatement& statement : statements) {
        auto parsed = storage::sql::parse(statement.sql);
        if (!parsed) {
            failed = statement.sql.substr(0, 80) + ": " + parsed.error().description;
            return false;
        }
        statement.parsed = std::move(*parsed);
    }
    return true;
}

Rows project(const Rows& rows, const std::vector<std::size_t>& columns) {
    Rows out;
    for (const auto& row : rows) {
        std::vector<std::string> cells;
        for (std::size_t column : columns)
            cells.push_back(column < row.size() ? row[column] : std::string("<missing>"));
        out.push_back(std::move(cells));
    }
    return out;
}

namespace {

// Text that compresses (ASCII) and is long enough for the wanted storage.
std::string note(std::size_t line) {
    const std::string words = "note " + std::to_string(line) + " ";
    std::size_t length = words.size();
    if (line % 20 == 0)
        length = 4500; // a chain of long-value rows over two pages
    else if (line % 20 == 10)
        length = 1500; // one long-value row
    std::string text;
    while (text.size() < length)
        text += words;
    return text.substr(0, length);
}

std::string padded(std::size_t number, std::size_t width) {
    std::string digits = std::to_string(number);
    return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
}

} // namespace

ImportScenario newTableWithMemo(std::size_t rows) {
    ImportScenario scenario;
    scenario.name = "a new table with a Memo column";
    scenario.fixture = "jet4/empty.mdb";
    scenario.tables = {"Imported"};
    scenario.compared = {{0, 1, 2}};
    scenario.statementsPerSession = 21;
    scenario.statements.push_back(
        {"CREATE TABLE `Imported`(`Line` LONG, `Name` VARCHAR(80), `Note` MEMO);", {}, "Imported", true, {}});
    for (std::size_t line = 1; line <= rows; ++line) {
        const std::string name = "name " + std::to_string(line);
        const std::string text = note(line);
        scenario.statements.push_back(
            {"INSERT INTO `Imported` VALUES('" + std::to_string(line) + "','" + name + "','" + text + "');",
             {},
             "Imported",
             false,
             {std::to_string(line), name, text}});
    }
    return scenario;
}

ImportScenario newTableInEncryptedDatabase(std::size_t rows) {
    ImportScenario scenario = newTableWithMemo(rows);
    scenario.name = "a new table with a Memo column in an encrypted database";
    scenario.fixture = "encrypted/db2007-oldenc.accdb"; // RC4 CryptoAPI: keyed without spinning, so opens are cheap
    scenario.password = "Test123";
    return scenario;
}

ImportScenario appendToIndexedTables(std::size_t rows) {
    ImportScenario scenario;
    scenario.name = "rows appended to indexed tables";
    scenario.fixture = "ace12/testV2007.accdb";
    scenario.tables = {"Table1", "Table3"};
    scenario.compared = {{0, 1}, {1}};
    scenario.statementsPerSession = 53;
    scenario.splitsIndexOf = "Table1";
    for (std::size_t i = 0; i < rows; ++i) {
        if (i % 3 != 2) {
            // 50-character keys in scattered order that differ from their first character
            // on: about 60 fit a page, and inserts land all over the tree.
            const std::string key = padded((i * 7919) % 100003, 6) + std::string(44, 'k');
            const std::string b = "b" + std::to_string(i);
            scenario.statements.push_back(
                {"INSERT INTO `Table1` (`A`, `B`) VALUES('" + key + "','" + b + "');", {}, "Table1", false, {key, b}});
        } else {
            const std::string b = "row " + std::to_string(i);
            scenario.statements.push_back({"INSERT INTO `Table3` VALUES('','" + b + "');", {}, "Table3", false, {b}});
        }
    }
    return scenario;
}

} // namespace checktest
