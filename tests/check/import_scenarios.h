#pragma once

#include "check_test_support.h"
#include "database/storage/sql/statement.h"

#include <string>
#include <vector>

namespace checktest {

// One statement of an import and the row it adds.
struct ImportStatement {
    std::string sql;
    storage::sql::Statement parsed;
    std::string table;
    bool createsTable = false;
    std::vector<std::string> cells; // the compared cells of the row it adds
};

// A small import into a copy of a fixture, carried out in sessions of a few statements
// each, so that a run holds several commits.
struct ImportScenario {
    std::string name;
    std::string fixture;
    std::vector<ImportStatement> statements;
    std::vector<std::string> tables;                // the tables whose rows are compared
    std::vector<std::vector<std::size_t>> compared; // by table: the columns compared
    std::size_t statementsPerSession = 100;
    std::string splitsIndexOf; // a table whose index the import makes split, when there is one
    std::string password;      // of an encrypted fixture, which mdbtools cannot read

    storage::OpenOptions options() const { return storage::OpenOptions{password}; }

    // Parses every statement; false (with the failing one in `failed`) when one does not parse.
    bool parse(std::string& failed);

    // The compared rows of each table after the first `count` statements, from the rows
    // the fixture had (`initial`); nullopt for a table that does not exist.
    std::vector<std::optional<Rows>> expectedAfter(std::size_t count,
                                                   const std::vector<std::optional<Rows>>& initial) const;
};

// CREATE TABLE with a Memo column into an empty database, then rows whose notes are
// inline, on one long-value row, or chained over several pages.
ImportScenario newTableWithMemo(std::size_t rows);
// newTableWithMemo in a copy of an encrypted ACCDB.
ImportScenario newTableInEncryptedDatabase(std::size_t rows);
// Rows appended to a table with a long text primary key, in scattered key order so that
// its B-tree splits, and, every third statement, to a table with an AutoNumber primary key.
ImportScenario appendToIndexedTables(std::size_t rows);

// The compared cells of the table's rows.
Rows project(const Rows& rows, const std::vector<std::size_t>& columns);

} // namespace checktest
