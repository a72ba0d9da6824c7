#pragma once

#include "database/storage/format/bytes.h"
#include "database/storage/format/header.h"
#include "database/storage/status.h"
#include "database/storage/table/table_definition.h"

#include <cstdint>
#include <string>
#include <vector>

namespace storage {

// What the TableDefinition of the reader does not carry but the bytes need.
struct TableDefinitionFormat {
    uint16_t databaseLcid = 1033;  // Access writes it into columns of non-text types too
    bool ace = false;              // ACE keeps the complex-column AutoNumber at 0x1C
};

// The logical definition (first page's 4096 bytes followed by the bytes
// after each continuation page's 8-byte header): header, index row counts,
// column descriptors and names, real indexes, logical indexes and their
// names, the Memo/OLE column usage maps and FF FF. def.columns are written
// in their order (Access writes a user table's columns by number). Fields
// whose meaning is unknown get the values Access writes (1625, 1923, 01 at
// 0x18) or 0. Page header fields (free space, next page) are left 0: see
// splitTableDefinition.
std::vector<uint8_t> serializeTableDefinition(const TableDefinition& def, const TableDefinitionFormat& format);

// How many pages a definition of `length` bytes needs.
std::size_t tableDefinitionPageCount(std::size_t length, uint32_t pageSize = kJet4PageSize);

// Cuts the logical definition into pages: the first page, then each
// continuation with an 8-byte header (02 01, free space, next page). pages
// names every page, first page first; its size must be
// tableDefinitionPageCount(definition.size()).
std::vector<std::vector<uint8_t>> splitTableDefinition(Bytes definition, const std::vector<uint32_t>& pages,
                                                       uint32_t pageSize = kJet4PageSize);

// A column of a new table, as CREATE TABLE describes it.
struct NewColumn {
    std::string name;
    ColumnType type = ColumnType::Text;
    uint16_t size = 255; // Text: characters; Binary: bytes; ignored otherwise
    bool autoNumber = false;
    bool compressedUnicode = false; // Text and Memo: Unicode compression allowed
    bool hyperlink = false;         // Memo only
    uint8_t precision = 18;         // Decimal
    uint8_t scale = 0;
};

// Numbers the columns in order, gives ordinary variable columns the first
// variable slots and Memo/OLE columns the slots after them (so short values
// come first in the row), and places fixed columns one after another
// (Yes/No columns take no room). Text and Memo columns get sortLcid and sortVersion.
// Indexes, usage maps and pages are left for the caller to fill in.
TableDefinition layoutNewTable(const std::vector<NewColumn>& columns, uint16_t sortLcid, uint8_t sortVersion = 0);

} // namespace storage
