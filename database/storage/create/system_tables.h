#pragma once

#include "database/storage/table/table_definition.h"

#include <cstdint>
#include <string>
#include <vector>

namespace storage {

// One column of a system table as the engine defines it. Column numbers are the
// positions in SystemTable::columns; variable slots and fixed offsets follow from
// them (see systemTableDefinition).
struct SystemColumn {
    std::string name;
    ColumnType type;
    uint8_t flags;             // descriptor byte 15: 0x01 fixed, 0x02 always, 0x04 AutoNumber, 0x10/0x20 system
    uint16_t length;           // bytes: Text 2 per character, fixed types their size, Yes/No 1, Memo/OLE 0
    uint8_t extendedFlags = 0; // descriptor byte 16
    uint8_t precision = 0;     // Decimal; scale is 0 wherever a system table has one
};

// An index of a system table: one real index with a logical index of the same
// number, in the order of SystemTable::indexes.
struct SystemIndex {
    std::string name;
    std::vector<std::string> columns; // all ascending
    uint8_t flags;                    // 0x01 unique, 0x02 ignore nulls, 0x08 required, 0x80 always
    bool primaryKey = false;
};

struct SystemTable {
    std::string name;
    uint8_t tableType;     // 'S' for the four Jet tables, 'N' for those ACE added
    uint32_t catalogFlags; // MSysObjects.Flags of its catalogue row
    std::vector<SystemColumn> columns;
    std::vector<SystemIndex> indexes;
};

// MSysObjects, MSysACEs, MSysQueries and MSysRelationships, in the order their
// definitions take pages 2 to 5. The same in Jet 4 and every ACE version.
const std::vector<SystemTable>& jetSystemTables();

// The tables every .accdb holds beyond those: MSysComplexColumns and the nine
// MSysComplexType_... templates of the element types of complex columns.
const std::vector<SystemTable>& aceSystemTables();

// The definition as the engine stores it: columns numbered in table order;
// variable slots in number order, Memo and OLE columns included (user tables put
// those last); fixed columns one after another in number order, Yes/No taking no
// room and recording the variable columns before them. Text and Memo columns get
// LCID 1033 and sortOrderVersion. Column descriptors and logical indexes are in
// name order, as Access writes them for system tables; pages, maps and roots are
// left for the writer.
TableDefinition systemTableDefinition(const SystemTable& table, uint8_t sortOrderVersion);

} // namespace storage
