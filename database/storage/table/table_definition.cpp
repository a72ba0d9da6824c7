// Table definition (TDEF), Jet 4 and ACE. The logical buffer is the first
// page followed by bytes 8.. of each continuation page; offsets are into it.
//
//   offset  size  meaning
//   0x00    1     page type 0x02; 0x04 (4): next TDEF page, 0 if none
//   0x08    4     length of the definition
//   0x10    4     row count;            0x14 (4): last AutoNumber issued
//   0x1C    4     ACE: last complex-column AutoNumber
//   0x28    1     table type 'N' / 'S'
//   0x29    2     max columns (slots);  0x2B (2): variable column slots;  0x2D (2): columns
//   0x2F    4     logical indexes;      0x33 (4): real indexes
//   0x37    4     row pointer to the owned-pages map; 0x3B (4): free-space map
//   0x3F          12 bytes per real index (unique entry count at +4)
//   then          25 bytes per column: type 0, number 5, var index 7, misc 11..14, flags 15,
//                 ext flags 16, fixed offset 21, length 23
//   then          column names (u16 byte length + UTF-16LE)
//   then          52 bytes per real index: 10 x (u16 column, u8 order) at 4, map 34, root 38, flags 46
//   then          28 bytes per logical index: number 4, real index 8, FK 12..22, kind 23
//   then          logical index names, then per Memo/OLE column: u16 number, owned map, free map; FF FF

#include "database/storage/table/table_definition.h"

#include "database/storage/format/text_codec.h"

#include <algorithm>
#include <unordered_set>

namespace storage {

namespace {

constexpr std::size_t kHeaderSize = 0x3F;
constexpr std::size_t kRealIndexCountSize = 12;
constexpr std::size_t kColumnSize = 25;
constexpr std::size_t kRealIndexSize = 52;
constexpr std::size_t kLogicalIndexSize = 28;
constexpr std::size_t kContinuationHeader = 8;
// Far above what Access writes (255 columns and 32 indexes fit in about 16 pages).
constexpr std::size_t kMaxDefinitionPages = 256;
constexpr uint32_t kMaxIndexes = 1000;

class DefinitionParser {
public:
    DefinitionParser(PageReader& pages, const std::vector<uint8_t>& buffer, uint32_t firstPage)
        : m_pages(pages), m_buffer(buffer), m_firstPage(firstPage) {}

    Error damaged(std::size_t offset, std::string_view check) const {
        return m_pages.corrupt(m_firstPage, static_cast<uint32_t>(offset), "table definition: " + std::string(check));
    }

    Result<std::string> name(std::size_t& offset) const {
        if (!fits(m_buffer, offset, 2))
            return damaged(offset, "name length past the end");
        const uint16_t length = readU16(m_buffer, offset);
        if (!fits(m_buffer, offset + 2, length))
            return damaged(offset, "name past the end");
        std::string text = utf16leToUtf8(Bytes(m_buffer).subspan(offset + 2, length));
        offset += 2 + length;
        return text;
    }

    Status parse(TableDefinition& def) const;

private:
    PageReader& m_pages;
    Bytes m_buffer;
    uint32_t m_firstPage;
};

Status DefinitionParser::parse(TableDefinition& def) const {
    const Bytes b = m_buffer;
    if (b.size() < kHeaderSize)
        return damaged(0, "shorter than its header");
    def.definitionLength = readU32(b, 0x08);
    def.rowCount = readU32(b, 0x10);
    def.lastAutoNumber = readU32(b, 0x14);
    def.lastComplexAutoNumber = readU32(b, 0x1C);
    def.tableType = readU8(b, 0x28);
    def.maxColumns = readU16(b, 0x29);
    def.variableColumns = readU16(b, 0x2B);
    const uint16_t columnCount = readU16(b, 0x2D);
    const uint32_t logicalCount = readU32(b, 0x2F);
    const uint32_t realCount = readU32(b, 0x33);
    def.ownedPages = RowPointer::fromRaw(readU32(b, 0x37));
    def.freePages = RowPointer::fromRaw(readU32(b, 0x3B));
    if (realCount > kMaxIndexes || logicalCount > kMaxIndexes)
        return damaged(0x2F, "index count out of range");

    std::size_t offset = kHeaderSize;
    if (!fits(b, offset, std::size_t{realCount} * kRealIndexCountSize))
        return damaged(offset, "index row counts past the end");
    def.realIndexes.resize(realCount);
    for (uint32_t i = 0; i < realCount; ++i)
        def.realIndexes[i].uniqueEntryCount = readU32(b, offset + i * kRealIndexCountSize + 4);
    offset += std::size_t{realCount} * kRealIndexCountSize;

    if (!fits(b, offset, std::size_t{columnCount} * kColumnSize))
        return damaged(offset, "column descriptors past the end");
    def.columns.resize(columnCount);
    for (uint16_t i = 0; i < columnCount; ++i) {
        const std::size_t at = offset + std::size_t{i} * kColumnSize;
        ColumnDefinition& column = def.columns[i];
        column.typeCode = readU8(b, at);
        column.number = readU16(b, at + 5);
        column.varIndex = readU16(b, at + 7);
        column.flags = readU8(b, at + 15);
        column.extendedFlags = readU8(b, at + 16);
        column.fixedOffset = readU16(b, at + 21);
        column.length = readU16(b, at + 23);
        switch (column.type()) {
        case ColumnType::Text:
        case ColumnType::Memo:
            column.sortOrder = readU16(b, at + 11);
            column.sortOrderVersion = readU8(b, at + 14);
            break;
        case ColumnType::Decimal:
            column.precision = readU8(b, at + 11);
            column.scale = readU8(b, at + 12);
            break;
        case ColumnType::Complex: column.complexTypeId = readU32(b, at + 11); break;
        default: break;
        }
        if (column.number >= def.maxColumns)
            return damaged(at + 5, "column number " + std::to_string(column.number) + " not below the column slots");
        if (!column.isFixed() && column.varIndex >= def.variableColumns && column.type() != ColumnType::Boolean)
            return damaged(at + 7, "variable column index out of range");
    }
    offset += std::size_t{columnCount} * kColumnSize;

    for (auto& column : def.columns) {
        auto text = name(offset);
        if (!text)
            return text.status();
        column.name = std::move(*text);
    }

    // System tables list their descriptors alphabetically; rows and users see columns by number.
    std::stable_sort(def.columns.begin(), def.columns.end(),
                     [](const ColumnDefinition& a, const ColumnDefinition& c) { return a.number < c.number; });

    if (!fits(b, offset, std::size_t{realCount} * kRealIndexSize))
        return damaged(offset, "index definitions past the end");
    for (uint32_t i = 0; i < realCount; ++i) {
        const std::size_t at = offset + std::size_t{i} * kRealIndexSize;
        RealIndex& index = def.realIndexes[i];
        for (std::size_t slot = 0; slot < 10; ++slot) {
            const uint16_t columnNumber = readU16(b, at + 4 + slot * 3);
            if (columnNumber == 0xFFFF)
                continue;
            index.columns.push_back({columnNumber, readU8(b, at + 6 + slot * 3) != 0});
        }
        index.usageMap = RowPointer::fromRaw(readU32(b, at + 34));
        index.rootPage = readU32(b, at + 38);
        index.flags = readU8(b, at + 46);
    }
    offset += std::size_t{realCount} * kRealIndexSize;

    if (!fits(b, offset, std::size_t{logicalCount} * kLogicalIndexSize))
        return damaged(offset, "logical index definitions past the end");
    def.logicalIndexes.resize(logicalCount);
    for (uint32_t i = 0; i < logicalCount; ++i) {
        const std::size_t at = offset + std::size_t{i} * kLogicalIndexSize;
        LogicalIndex& index = def.logicalIndexes[i];
        index.number = readU32(b, at + 4);
        index.realIndex = readU32(b, at + 8);
        index.foreignKeyRole = readU8(b, at + 12);
        index.relatedIndex = readI32(b, at + 13);
        index.relatedTablePage = readU32(b, at + 17);
        index.cascadeUpdates = readU8(b, at + 21);
        index.cascadeDeletes = readU8(b, at + 22);
        index.kind = readU8(b, at + 23);
        if (index.realIndex >= realCount)
            return damaged(at + 8, "logical index refers to a missing real index");
    }
    offset += std::size_t{logicalCount} * kLogicalIndexSize;
    for (auto& index : def.logicalIndexes) {
        auto text = name(offset);
        if (!text)
            return text.status();
        index.name = std::move(*text);
    }

    // Column usage maps of Memo/OLE columns, up to FF FF. Older writers leave
    // the list out, so running into the end of the buffer is not damage.
    while (fits(b, offset, 2) && readU16(b, offset) != 0xFFFF) {
        if (!fits(b, offset, 10))
            break;
        def.columnUsageMaps.push_back({readU16(b, offset), RowPointer::fromRaw(readU32(b, offset + 2)),
                                       RowPointer::fromRaw(readU32(b, offset + 6))});
        offset += 10;
    }
    return Status::ok();
}

} // namespace

Result<TableDefinition> readTableDefinition(PageReader& pages, uint32_t firstPage) {
    TableDefinition def;
    def.firstPage = firstPage;
    std::vector<uint8_t> buffer;
    std::unordered_set<uint32_t> seen;
    uint32_t number = firstPage;
    while (number != 0) {
        if (!seen.insert(number).second)
            return pages.corrupt(number, 4, "table definition pages form a cycle");
        if (seen.size() > kMaxDefinitionPages)
            return pages.corrupt(firstPage, 4, "table definition spans too many pages");
        auto page = pages.page(number);
        if (!page)
            return page.error();
        const std::vector<uint8_t>& bytes = **page;
        if (bytes[0] != 0x02)
            return pages.corrupt(number, 0,
                                 "expected a table definition page, found page type " + std::to_string(bytes[0]));
        if (buffer.empty())
            buffer.insert(buffer.end(), bytes.begin(), bytes.end());
        else
            buffer.insert(buffer.end(), bytes.begin() + kContinuationHeader, bytes.end());
        def.pages.push_back(number);
        number = readU32(bytes, 4);
    }
    const DefinitionParser parser(pages, buffer, firstPage);
    if (Status status = parser.parse(def); !status)
        return status;
    return def;
}

} // namespace storage
