// Table definition (TDEF), Jet 4 and ACE, as written. Offsets into the
// logical buffer:
//
//   offset  size  meaning
//   0x00    8     page header: 02 01, free space, next page (splitTableDefinition)
//   0x08    4     length of the definition, FF FF included
//   0x0C    4     1625 (meaning unknown)
//   0x10    4     row count;  0x14 (4): last AutoNumber;  0x18 (1): 01
//   0x1C    4     ACE: last complex-column AutoNumber
//   0x28    1     table type 'N' / 'S'
//   0x29    2     column slots;  0x2B (2): variable slots;  0x2D (2): columns
//   0x2F    4     logical indexes;  0x33 (4): real indexes
//   0x37    4     owned-pages map row pointer;  0x3B (4): free-space map
//   0x3F          12 per real index: 0, unique entry count, 0
//   then          25 per column: type 0, 1625 at 1, number 5, var slot 7, position 9,
//                 type-specific 11..14, flags 15, ext flags 16, fixed offset 21, length 23
//   then          names: u16 byte length, UTF-16LE
//   then          52 per real index: 1923, 10 x (u16 column, u8 ascending), map 34, root 38, flags 46
//   then          28 per logical index: 1625, number 4, real index 8, FK 12..22, kind 23
//   then          logical index names; 10 per Memo/OLE column map entry; FF FF

#include "database/storage/write/table_definition_writer.h"

#include "database/storage/format/bytes.h"
#include "database/storage/format/text_codec.h"

#include <algorithm>

namespace storage {

namespace {

constexpr uint32_t kUnknownConstant = 1625;
constexpr uint32_t kRealIndexConstant = 1923;
constexpr std::size_t kIndexColumnSlots = 10;
constexpr std::size_t kContinuationHeader = 8;

class Writer {
public:
    void u8(uint32_t value) { m_bytes.push_back(static_cast<uint8_t>(value)); }
    void u16(uint32_t value) {
        u8(value & 0xFF);
        u8((value >> 8) & 0xFF);
    }
    void u32(uint32_t value) {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }
    void pointer(RowPointer where) { u32((where.page << 8) | where.row); }
    void zeros(std::size_t count) { m_bytes.insert(m_bytes.end(), count, 0); }
    void name(const std::string& text) {
        const std::u16string units = utf8ToUtf16(text);
        u16(static_cast<uint32_t>(units.size() * 2));
        for (char16_t unit : units)
            u16(unit);
    }
    std::vector<uint8_t>& bytes() { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

void writeTypeSpecific(Writer& out, const ColumnDefinition& column, const TableDefinitionFormat& format) {
    switch (column.type()) {
    case ColumnType::Text:
    case ColumnType::Memo:
        out.u16(column.sortOrder);
        out.u8(0);
        out.u8(column.sortOrderVersion);
        break;
    case ColumnType::Decimal:
        out.u8(column.precision);
        out.u8(column.scale);
        out.u16(0);
        break;
    case ColumnType::Complex: out.u32(column.complexTypeId); break;
    case ColumnType::ExtendedDateTime: // 7: the digits of the fraction of a second, as Access writes it
        out.u8(format.databaseLcid & 0xFF);
        out.u8(7);
        out.u16(0);
        break;
    default: out.u32(format.databaseLcid); break;
    }
}

} // namespace

std::vector<uint8_t> serializeTableDefinition(const TableDefinition& def, const TableDefinitionFormat& format) {
    Writer out;
    out.zeros(8); // page header
    out.u32(0);   // length, set at the end
    out.u32(kUnknownConstant);
    out.u32(def.rowCount);
    out.u32(def.lastAutoNumber);
    out.u8(1);
    out.zeros(3);
    out.u32(format.ace ? def.lastComplexAutoNumber : 0);
    out.zeros(8);
    out.u8(def.tableType);
    out.u16(def.maxColumns);
    out.u16(def.variableColumns);
    out.u16(static_cast<uint32_t>(def.columns.size()));
    out.u32(static_cast<uint32_t>(def.logicalIndexes.size()));
    out.u32(static_cast<uint32_t>(def.realIndexes.size()));
    out.pointer(def.ownedPages);
    out.pointer(def.freePages);

    for (const RealIndex& index : def.realIndexes) {
        out.u32(0);
        out.u32(index.uniqueEntryCount);
        out.u32(0);
    }
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const ColumnDefinition& column = def.columns[i];
        out.u8(column.typeCode);
        out.u32(kUnknownConstant);
        out.u16(column.number);
        out.u16(column.varIndex);
        out.u16(static_cast<uint32_t>(i));
        writeTypeSpecific(out, column, format);
        out.u8(column.flags);
        out.u8(column.extendedFlags);
        out.u32(0);
        out.u16(column.isFixed() ? column.fixedOffset : 0);
        out.u16(column.length);
    }
    for (const ColumnDefinition& column : def.columns)
        out.name(column.name);
    for (const RealIndex& index : def.realIndexes) {
        out.u32(kRealIndexConstant);
        for (std::size_t slot = 0; slot < kIndexColumnSlots; ++slot) {
            if (slot < index.columns.size()) {
                out.u16(index.columns[slot].columnNumber);
                out.u8(index.columns[slot].ascending ? 1 : 0);
            } else {
                out.u16(0xFFFF);
                out.u8(0);
            }
        }
        out.pointer(index.usageMap);
        out.u32(index.rootPage);
        out.u32(0);
        out.u8(index.flags);
        out.zeros(5);
    }
    for (const LogicalIndex& index : def.logicalIndexes) {
        out.u32(kUnknownConstant);
        out.u32(index.number);
        out.u32(index.realIndex);
        out.u8(index.foreignKeyRole);
        out.u32(static_cast<uint32_t>(index.relatedIndex));
        out.u32(index.relatedTablePage);
        out.u8(index.cascadeUpdates);
        out.u8(index.cascadeDeletes);
        out.u8(index.kind);
        out.u32(0);
    }
    for (const LogicalIndex& index : def.logicalIndexes)
        out.name(index.name);
    for (const ColumnUsageMaps& maps : def.columnUsageMaps) {
        out.u16(maps.columnNumber);
        out.pointer(maps.ownedPages);
        out.pointer(maps.freePages);
    }
    out.u16(0xFFFF);
    std::vector<uint8_t>& bytes = out.bytes();
    writeU32(bytes, 0x08, static_cast<uint32_t>(bytes.size()));
    return std::move(bytes);
}

std::size_t tableDefinitionPageCount(std::size_t length, uint32_t pageSize) {
    if (length <= pageSize)
        return 1;
    const std::size_t perContinuation = pageSize - kContinuationHeader;
    return 1 + (length - pageSize + perContinuation - 1) / perContinuation;
}

std::vector<std::vector<uint8_t>> splitTableDefinition(Bytes definition, const std::vector<uint32_t>& pages,
                                                       uint32_t pageSize) {
    std::vector<std::vector<uint8_t>> out;
    std::size_t at = 0;
    for (std::size_t i = 0; i < pages.size() && at < definition.size(); ++i) {
        std::vector<uint8_t> page(pageSize, 0);
        const std::size_t header = i == 0 ? 0 : kContinuationHeader;
        const std::size_t count = std::min<std::size_t>(definition.size() - at, pageSize - header);
        std::copy_n(definition.begin() + static_cast<std::ptrdiff_t>(at), count,
                    page.begin() + static_cast<std::ptrdiff_t>(header));
        at += count;
        const std::size_t used = header + count;
        page[0] = 0x02;
        page[1] = 0x01;
        writeU16(page, 0x02, used + kContinuationHeader >= pageSize ? 0 : pageSize - used - kContinuationHeader);
        writeU32(page, 0x04, i + 1 < pages.size() ? pages[i + 1] : 0);
        out.push_back(std::move(page));
    }
    return out;
}

TableDefinition layoutNewTable(const std::vector<NewColumn>& columns, uint16_t sortLcid, uint8_t sortVersion) {
    TableDefinition def;
    def.tableType = 'N';
    uint16_t ordinaryVariables = 0;
    for (const NewColumn& column : columns) {
        const bool isLong = column.type == ColumnType::Memo || column.type == ColumnType::Ole;
        const bool variable = isLong || column.type == ColumnType::Text || column.type == ColumnType::Binary;
        if (variable && !isLong)
            ++ordinaryVariables;
    }
    uint16_t nextOrdinary = 0, nextLong = ordinaryVariables, fixedOffset = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const NewColumn& wanted = columns[i];
        ColumnDefinition column;
        column.name = wanted.name;
        column.typeCode = static_cast<uint8_t>(wanted.type);
        column.number = static_cast<uint16_t>(i);
        const bool isLong = wanted.type == ColumnType::Memo || wanted.type == ColumnType::Ole;
        const bool variable = isLong || wanted.type == ColumnType::Text || wanted.type == ColumnType::Binary;
        column.flags = 0x02;
        if (!variable)
            column.flags |= 0x01;
        if (wanted.autoNumber && wanted.type == ColumnType::Long)
            column.flags |= 0x04;
        if (wanted.autoNumber && wanted.type == ColumnType::Guid)
            column.flags |= 0x40;
        if (wanted.hyperlink && wanted.type == ColumnType::Memo)
            column.flags |= 0x80;
        if (wanted.compressedUnicode && (wanted.type == ColumnType::Text || wanted.type == ColumnType::Memo))
            column.extendedFlags = 0x01;
        if (wanted.type == ColumnType::Text || wanted.type == ColumnType::Memo) {
            column.sortOrder = sortLcid;
            column.sortOrderVersion = sortVersion;
        }
        if (wanted.type == ColumnType::Decimal) {
            column.precision = wanted.precision;
            column.scale = wanted.scale;
        }
        if (wanted.type == ColumnType::Text)
            column.length = static_cast<uint16_t>(wanted.size * 2);
        else if (wanted.type == ColumnType::Binary)
            column.length = wanted.size;
        else
            // A Yes/No column records a length of 1 although its value lives in the null mask.
            column.length = static_cast<uint16_t>(wanted.type == ColumnType::Boolean ? 1 : fixedTypeSize(wanted.type));
        if (variable) {
            column.varIndex = isLong ? nextLong++ : nextOrdinary++;
        } else {
            // Fixed columns carry the number of ordinary variable columns before them.
            column.varIndex = nextOrdinary;
            if (wanted.type != ColumnType::Boolean) {
                column.fixedOffset = fixedOffset;
                fixedOffset = static_cast<uint16_t>(fixedOffset + fixedTypeSize(wanted.type));
            }
        }
        def.columns.push_back(std::move(column));
    }
    def.maxColumns = static_cast<uint16_t>(columns.size());
    def.variableColumns = nextLong;
    return def;
}

} // namespace storage
