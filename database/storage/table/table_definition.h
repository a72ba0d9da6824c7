#pragma once

#include "database/storage/file/page_reader.h"
#include "database/storage/format/bytes.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace storage {

// Column type codes as stored in the table definition.
enum class ColumnType : uint8_t {
    Boolean = 0x01,
    Byte = 0x02,
    Integer = 0x03,
    Long = 0x04,
    Currency = 0x05,
    Single = 0x06,
    Double = 0x07,
    DateTime = 0x08,
    Binary = 0x09,
    Text = 0x0A,
    Ole = 0x0B,
    Memo = 0x0C,
    Guid = 0x0F,
    Decimal = 0x10,
    Complex = 0x12,
    BigInt = 0x13,
    ExtendedDateTime = 0x14,
};

// Bytes a value of a fixed-size type takes in a row; 0 for the variable-length types
// and for Yes/No, whose value lives in the null mask.
constexpr std::size_t fixedTypeSize(ColumnType type) {
    switch (type) {
    case ColumnType::Byte: return 1;
    case ColumnType::Integer: return 2;
    case ColumnType::Long:
    case ColumnType::Single:
    case ColumnType::Complex: return 4;
    case ColumnType::Currency:
    case ColumnType::Double:
    case ColumnType::DateTime:
    case ColumnType::BigInt: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::Decimal: return 17;
    case ColumnType::ExtendedDateTime: return 42; // the value as text, "0000000..." with its terminating 0
    default: return 0;
    }
}

struct ColumnDefinition {
    std::string name;
    uint8_t typeCode = 0;     // a ColumnType, or a code this engine does not know
    uint16_t number = 0;      // slot: decides the null-mask bit; gaps where columns were deleted
    uint16_t varIndex = 0;    // slot in the row's variable offset table (variable columns)
    uint16_t fixedOffset = 0; // position in the fixed area (fixed columns)
    uint16_t length = 0;      // bytes (Text: 2 per character); 0 for Memo/OLE
    uint8_t flags = 0;
    uint8_t extendedFlags = 0;
    uint8_t precision = 0;    // Decimal
    uint8_t scale = 0;        // Decimal
    uint16_t sortOrder = 0;   // Text/Memo collation LCID
    uint8_t sortOrderVersion = 0; // Text/Memo: 0 General Legacy, 1 General (with LCID 1033)
    uint32_t complexTypeId = 0;
    uint8_t calculatedResultType = 0; // calculated columns: type of the result, 0 when unknown

    ColumnType type() const { return static_cast<ColumnType>(typeCode); }
    bool isFixed() const { return flags & 0x01; }
    bool isAutoNumber() const { return flags & 0x04; }
    bool isGuidAutoNumber() const { return flags & 0x40; }
    bool isHyperlink() const { return flags & 0x80; }
    bool allowsCompressedUnicode() const { return extendedFlags & 0x01; }
    bool isCalculated() const { return (extendedFlags & 0xC0) == 0xC0; }
    bool isLongValue() const { return type() == ColumnType::Memo || type() == ColumnType::Ole; }
};

struct IndexColumn {
    uint16_t columnNumber = 0;
    bool ascending = true;
};

// The physical B-tree of an index.
struct RealIndex {
    std::vector<IndexColumn> columns;
    RowPointer usageMap;
    uint32_t rootPage = 0;
    uint8_t flags = 0; // 0x01 unique, 0x02 ignore nulls, 0x08 required
    uint32_t uniqueEntryCount = 0;
};

// A named index as users see it, stored in one real index.
struct LogicalIndex {
    std::string name;
    uint32_t number = 0;
    uint32_t realIndex = 0;
    uint8_t foreignKeyRole = 0;   // 1 primary side, 2 referencing side, 0 none
    int32_t relatedIndex = -1;
    uint32_t relatedTablePage = 0;
    uint8_t cascadeUpdates = 0;
    uint8_t cascadeDeletes = 0;
    uint8_t kind = 0;             // 0 normal, 1 primary key, 2 foreign key
};

struct ColumnUsageMaps {
    uint16_t columnNumber = 0;
    RowPointer ownedPages;
    RowPointer freePages;
};

struct TableDefinition {
    uint32_t firstPage = 0;
    std::vector<uint32_t> pages; // first page, then continuation pages
    uint32_t definitionLength = 0;
    uint32_t rowCount = 0;       // may be stale: Access does not always update it
    uint32_t lastAutoNumber = 0;
    uint32_t lastComplexAutoNumber = 0;
    uint8_t tableType = 0;       // 'N' user, 'S' system
    uint16_t maxColumns = 0;
    uint16_t variableColumns = 0;
    std::vector<ColumnDefinition> columns; // by column number (the order of the table's fields)
    std::vector<RealIndex> realIndexes;
    std::vector<LogicalIndex> logicalIndexes;
    RowPointer ownedPages;
    RowPointer freePages;
    std::vector<ColumnUsageMaps> columnUsageMaps;
};

// Reads the definition whose first page is firstPage, following continuation pages.
Result<TableDefinition> readTableDefinition(PageReader& pages, uint32_t firstPage);

} // namespace storage
