// Rows, Jet 4 and ACE. Offsets are from the start of the row, L = row length,
// m = (column count + 7) / 8, v = number of variable-column offsets.
//
//   offset           size  meaning
//   0                2     column count n (slots when the row was written)
//   2                ...   fixed area: a column's value at 2 + its fixed offset
//   ...              ...   variable data
//   L-m-4-2v         2     end of variable data (EOD)
//   L-m-4-2k         2     start of the value of variable column k (k = 0..v-1)
//   L-m-2            2     v
//   L-m              m     null mask: bit c = column number c present (Yes/No: its value)
//
// Tables without variable columns have no EOD, offsets or v.
// Calculated columns (ACE 14+) wrap their value: 16 unknown bytes, u32 length, data.

#include "database/storage/table/row_decoder.h"

#include "database/storage/format/text_codec.h"
#include "database/storage/table/long_value.h"

#include <algorithm>
#include <cctype>

namespace storage {

namespace {

constexpr std::size_t kCalculatedHeader = 20;

bool parseDigits(Bytes bytes, std::size_t from, std::size_t count, int64_t& out) {
    out = 0;
    for (std::size_t i = from; i < from + count; ++i) {
        if (bytes[i] < '0' || bytes[i] > '9')
            return false;
        out = out * 10 + (bytes[i] - '0');
    }
    return true;
}

// "DDDDDDDDDDDDDDDDDDD:SSSSSSSSSSSSFFFFFFF:7\0": days since 0001-01-01, seconds, 100 ns units.
Value decodeExtendedDate(Bytes bytes) {
    int64_t days = 0, seconds = 0, fraction = 0;
    if (bytes.size() >= 39 && bytes[19] == ':' && parseDigits(bytes, 0, 19, days) &&
        parseDigits(bytes, 20, 12, seconds) && parseDigits(bytes, 32, 7, fraction) && seconds < 86400 &&
        days < 3652059)
        return ExtendedDateTime{days, seconds, static_cast<int32_t>(fraction)};
    return UnsupportedValue{static_cast<uint8_t>(ColumnType::ExtendedDateTime),
                            std::vector<uint8_t>(bytes.begin(), bytes.end())};
}

class RowDecoder {
public:
    RowDecoder(PageReader& pages, const TableDefinition& def, Bytes row, RowLocation where)
        : m_pages(pages), m_def(def), m_row(row), m_where(where) {}

    Status decode(std::vector<Value>& out);

private:
    Error damaged(std::string_view check) const { return m_pages.corrupt(m_where.page, m_where.offset, "row: " + std::string(check)); }
    bool present(uint16_t number) const {
        const std::size_t byte = m_maskStart + number / 8;
        return byte < m_row.size() && (m_row[byte] & (1u << (number % 8)));
    }
    Result<Value> typed(const ColumnDefinition& column, Bytes bytes) const;
    Result<Value> calculated(const ColumnDefinition& column, Bytes bytes) const;

    PageReader& m_pages;
    const TableDefinition& m_def;
    Bytes m_row;
    RowLocation m_where;
    uint16_t m_columnCount = 0;
    std::size_t m_maskStart = 0;
    std::size_t m_variableCount = 0;
    std::size_t m_offsetTableEnd = 0; // offset of v; offsets sit below it
    std::size_t m_dataEnd = 0;        // EOD
};

Result<Value> RowDecoder::typed(const ColumnDefinition& column, Bytes bytes) const {
    const ColumnType type = column.type();
    const std::size_t size = fixedTypeSize(type);
    if (size != 0 && bytes.size() < size) {
        if (type == ColumnType::Decimal || type == ColumnType::ExtendedDateTime)
            return Value(UnsupportedValue{column.typeCode, std::vector<uint8_t>(bytes.begin(), bytes.end())});
        return damaged("value of column '" + column.name + "' shorter than its type");
    }
    switch (type) {
    case ColumnType::Byte: return Value(readU8(bytes, 0));
    case ColumnType::Integer: return Value(readI16(bytes, 0));
    case ColumnType::Long: return Value(readI32(bytes, 0));
    case ColumnType::Currency: return Value(Currency{readI64(bytes, 0)});
    case ColumnType::Single: return Value(readF32(bytes, 0));
    case ColumnType::Double: return Value(readF64(bytes, 0));
    case ColumnType::DateTime: return Value(DateTime{readF64(bytes, 0)});
    case ColumnType::BigInt: return Value(readI64(bytes, 0));
    case ColumnType::Complex: return Value(ComplexValueId{readI32(bytes, 0)});
    case ColumnType::Guid: {
        Guid guid;
        std::copy_n(bytes.begin(), 16, guid.bytes.begin());
        return Value(guid);
    }
    case ColumnType::Decimal: {
        Decimal decimal;
        decimal.negative = bytes[0] & 0x80;
        for (std::size_t i = 0; i < 4; ++i)
            decimal.magnitude[i] = readU32(bytes, 1 + i * 4);
        decimal.precision = column.precision;
        decimal.scale = std::min<uint8_t>(column.scale, 38);
        return Value(decimal);
    }
    case ColumnType::ExtendedDateTime: return decodeExtendedDate(bytes);
    case ColumnType::Text: return Value(decodeStoredText(bytes));
    case ColumnType::Binary: return Value(BinaryValue(bytes.begin(), bytes.end()));
    case ColumnType::Memo:
    case ColumnType::Ole: {
        auto data = readLongValue(m_pages, bytes, m_where.page, m_where.offset);
        if (!data)
            return data.error();
        if (type == ColumnType::Memo)
            return Value(decodeStoredText(*data));
        return Value(std::move(*data));
    }
    default: return Value(UnsupportedValue{column.typeCode, std::vector<uint8_t>(bytes.begin(), bytes.end())});
    }
}

// The stored type of a calculated column is the declared one; the result
// may be of another type (given by the column's ResultType property when
// known). A Yes/No result is one byte, a Decimal result is an OLE DECIMAL:
// u16 unknown, u8 scale, u8 sign (0x80 negative), u32 high, u64 low.
Result<Value> RowDecoder::calculated(const ColumnDefinition& column, Bytes bytes) const {
    std::vector<uint8_t> longData;
    // A Memo result is a long value; such columns may be declared as Text of length 0.
    if (column.isLongValue() || column.length == 0) {
        auto data = readLongValue(m_pages, bytes, m_where.page, m_where.offset);
        if (!data)
            return data.error();
        longData = std::move(*data);
        bytes = longData;
    }
    if (bytes.size() < kCalculatedHeader)
        return damaged("calculated value of column '" + column.name + "' shorter than its header");
    const std::size_t innerLength = std::min<std::size_t>(readU32(bytes, 16), bytes.size() - kCalculatedHeader);
    const Bytes inner = bytes.subspan(kCalculatedHeader, innerLength);
    if (inner.empty())
        return Value(); // the expression gave Null

    ColumnDefinition result = column;
    if (column.calculatedResultType != 0)
        result.typeCode = column.calculatedResultType;
    if (result.type() == ColumnType::Boolean || inner.size() == 1)
        return Value(inner[0] != 0);
    if (result.type() == ColumnType::Decimal && inner.size() >= 16) {
        Decimal decimal;
        decimal.scale = std::min<uint8_t>(inner[2], 38);
        decimal.negative = inner[3] & 0x80;
        decimal.magnitude = {0, readU32(inner, 4), readU32(inner, 12), readU32(inner, 8)};
        decimal.precision = column.precision;
        return Value(decimal);
    }
    if (result.type() == ColumnType::Memo || result.type() == ColumnType::Text)
        return Value(decodeStoredText(inner));
    if (result.type() == ColumnType::Ole)
        return Value(BinaryValue(inner.begin(), inner.end()));
    return typed(result, inner);
}

Status RowDecoder::decode(std::vector<Value>& out) {
    const std::size_t length = m_row.size();
    if (length < 2)
        return damaged("shorter than its column count");
    m_columnCount = readU16(m_row, 0);
    const std::size_t maskSize = (std::size_t{m_columnCount} + 7) / 8;
    if (maskSize + 2 > length)
        return damaged("null mask larger than the row");
    m_maskStart = length - maskSize;
    std::size_t fixedEnd = m_maskStart;
    if (m_def.variableColumns > 0) {
        if (m_maskStart < 4)
            return damaged("no room for the variable column count");
        m_offsetTableEnd = m_maskStart - 2;
        m_variableCount = readU16(m_row, m_offsetTableEnd);
        if (2 + 2 + 2 * m_variableCount > m_offsetTableEnd)
            return damaged("variable offset table larger than the row");
        const std::size_t eodAt = m_offsetTableEnd - 2 - 2 * m_variableCount;
        m_dataEnd = readU16(m_row, eodAt);
        if (m_dataEnd < 2 || m_dataEnd > eodAt)
            return damaged("end of variable data outside the row");
        fixedEnd = m_dataEnd;
    }

    out.clear();
    out.reserve(m_def.columns.size());
    for (const ColumnDefinition& column : m_def.columns) {
        if (column.type() == ColumnType::Boolean) {
            out.emplace_back(column.number < m_columnCount && present(column.number));
            continue;
        }
        if (column.number >= m_columnCount || !present(column.number)) {
            out.emplace_back();
            continue;
        }
        Bytes bytes;
        if (column.isFixed()) {
            const std::size_t size = column.length != 0 ? column.length : fixedTypeSize(column.type());
            const std::size_t start = 2 + std::size_t{column.fixedOffset};
            if (start + size > fixedEnd)
                return damaged("fixed value of column '" + column.name + "' past the fixed area");
            bytes = m_row.subspan(start, size);
        } else {
            if (column.varIndex >= m_variableCount) {
                out.emplace_back(); // written before the column was added
                continue;
            }
            const std::size_t startAt = m_offsetTableEnd - 2 - 2 * std::size_t{column.varIndex};
            const std::size_t start = readU16(m_row, startAt);
            const std::size_t end =
                column.varIndex + 1u < m_variableCount ? readU16(m_row, startAt - 2) : m_dataEnd;
            if (start < 2 || start > end || end > m_dataEnd)
                return damaged("variable value of column '" + column.name + "' outside the row");
            bytes = m_row.subspan(start, end - start);
        }
        auto value = column.isCalculated() ? calculated(column, bytes) : typed(column, bytes);
        if (!value)
            return value.status();
        out.push_back(std::move(*value));
    }
    return Status::ok();
}

} // namespace

Status decodeRow(PageReader& pages, const TableDefinition& def, Bytes row, RowLocation where, std::vector<Value>& out) {
    RowDecoder decoder(pages, def, row, where);
    return decoder.decode(out);
}

} // namespace storage
