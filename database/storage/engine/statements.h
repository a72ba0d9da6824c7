#pragma once

#include "database/storage/database.h"
#include "database/storage/engine/new_table_storage.h"
#include "database/storage/engine/pager.h"
#include "database/storage/engine/table_writers.h"
#include "database/storage/sql/statement.h"

namespace storage {

// What a changing statement works on.
struct WriteTarget {
    Database& database;
    Pager& pager;
    TableWriters& writers;
};

// CREATE TABLE: checks the names and types as Jet does (3125 invalid name, 3010 name
// in use, 3190 too many fields, 3191 a field twice, 3259 a type or size Jet refuses),
// then writes the table and its catalogue rows. VARCHAR without a size is Text(255);
// Text and Memo columns allow Unicode compression, as Access's table designer sets them.
Status createTable(WriteTarget target, const sql::CreateTable& statement);
// The same for a table described directly, with indexes; the names are checked alike.
Status createTable(WriteTarget target, const std::string& name, const std::vector<NewColumn>& columns,
                   const std::vector<NewIndex>& indexes);

// INSERT INTO ... VALUES: one row, its values converted as convertLiteral says. An
// empty or NULL value in an AutoNumber column takes the next number. 3078 when the
// table does not exist, 3346 when the values do not match the fields, 3127 for a
// field the table does not have, 3314/3315 for the Required and AllowZeroLength
// properties, and the table writer's errors.
Status insertRow(WriteTarget target, const sql::Insert& statement);

} // namespace storage
