// Rows, Jet 4 and ACE, as encodeRow writes them. L = row length,
// m = (column slots + 7) / 8, v = variable column slots.
//
//   offset        size  meaning
//   0             2     column slots (TDEF max columns)
//   2             ...   fixed area: each fixed column at 2 + its fixed offset, zeros when Null
//   ...           ...   variable values in var-index order
//   L-m-4-2v      2     end of variable data (EOD)
//   L-m-4-2k      2     start of variable column k, k = v-1 .. 0 (so k = 0 is nearest the end)
//   L-m-2         2     v
//   L-m           m     null mask: bit c set = column number c present; Yes/No: its value
//
// Without variable columns the row ends with the fixed area and the mask.

#include "database/storage/write/row_encoder.h"

#include "database/storage/write/text_encoding.h"
#include "database/storage/write/write_errors.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace storage {

namespace {

constexpr std::size_t kExtendedDateSize = fixedTypeSize(ColumnType::ExtendedDateTime);

std::size_t fixedSize(const ColumnDefinition& column) {
    return column.length != 0 ? column.length : fixedTypeSize(column.type());
}

template <class T>
void appendLittleEndian(std::vector<uint8_t>& out, T value) {
    uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    out.insert(out.end(), bytes, bytes + sizeof(T));
}

std::vector<uint8_t> decimalBytes(const Decimal& decimal) {
    std::vector<uint8_t> out;
    out.reserve(1 + 4 * decimal.magnitude.size());
    out.push_back(static_cast<uint8_t>(decimal.negative ? 0x80 : 0x00));
    for (uint32_t word : decimal.magnitude)
        appendLittleEndian(out, word);
    return out;
}

// "DDDDDDDDDDDDDDDDDDD:SSSSSSSSSSSSFFFFFFF:7\0"
std::vector<uint8_t> extendedDateBytes(const ExtendedDateTime& value) {
    char text[kExtendedDateSize + 1];
    std::snprintf(text, sizeof text, "%019lld:%012lld%07d:7", static_cast<long long>(value.daysSinceYearOne),
                  static_cast<long long>(value.secondsOfDay), static_cast<int>(value.hundredNanoseconds));
    return std::vector<uint8_t>(text, text + kExtendedDateSize); // the terminating 0 is the last stored byte
}

template <class T>
const T* as(const Value& value) {
    return value.get<T>();
}

} // namespace

Result<std::vector<uint8_t>> encodeFieldValue(const ColumnDefinition& column, const Value& value) {
    std::vector<uint8_t> out;
    const auto mismatch = [] { return Result<std::vector<uint8_t>>(write_errors::typeMismatch()); };
    switch (column.type()) {
    case ColumnType::Byte:
        if (const auto* v = as<uint8_t>(value)) {
            out.push_back(*v);
            return out;
        }
        return mismatch();
    case ColumnType::Integer:
        if (const auto* v = as<int16_t>(value)) {
            appendLittleEndian(out, *v);
            return out;
        }
        return mismatch();
    case ColumnType::Long:
        if (const auto* v = as<int32_t>(value)) {
            appendLittleEndian(out, *v);
            return out;
        }
        return mismatch();
    case ColumnType::BigInt:
        if (const auto* v = as<int64_t>(value)) {
            appendLittleEndian(out, *v);
            return out;
        }
        return mismatch();
    case ColumnType::Complex:
        if (const auto* v = as<ComplexValueId>(value)) {
            appendLittleEndian(out, v->id);
            return out;
        }
        return mismatch();
    case ColumnType::Currency:
        if (const auto* v = as<Currency>(value)) {
            appendLittleEndian(out, v->scaled);
            return out;
        }
        return mismatch();
    case ColumnType::Single:
        if (const auto* v = as<float>(value)) {
            appendLittleEndian(out, *v);
            return out;
        }
        return mismatch();
    case ColumnType::Double:
        if (const auto* v = as<double>(value)) {
            appendLittleEndian(out, *v);
            return out;
        }
        return mismatch();
    case ColumnType::DateTime:
        if (const auto* v = as<DateTime>(value)) {
            appendLittleEndian(out, v->days);
            return out;
        }
        return mismatch();
    case ColumnType::ExtendedDateTime:
        if (const auto* v = as<ExtendedDateTime>(value))
            return extendedDateBytes(*v);
        return mismatch();
    case ColumnType::Guid:
        if (const auto* v = as<Guid>(value))
            return std::vector<uint8_t>(v->bytes.begin(), v->bytes.end());
        return mismatch();
    case ColumnType::Decimal:
        if (const auto* v = as<Decimal>(value))
            return decimalBytes(*v);
        return mismatch();
    case ColumnType::Text: {
        const auto* text = as<std::string>(value);
        if (!text)
            return mismatch();
        // Fixed text is padded to its full length and so gains nothing from compression.
        auto bytes = column.isFixed() ? Result<std::vector<uint8_t>>(encodeUtf16le(*text))
                                      : encodeStoredText(*text, mayCompressText(column));
        if (!bytes)
            return bytes;
        if (bytes->size() > column.length)
            return write_errors::fieldTooSmall();
        if (column.isFixed())
            bytes->resize(column.length, 0);
        return bytes;
    }
    case ColumnType::Binary:
        if (const auto* v = as<BinaryValue>(value)) {
            if (v->size() > column.length)
                return write_errors::fieldTooSmall();
            out = *v;
            if (column.isFixed())
                out.resize(column.length, 0);
            return out;
        }
        return mismatch();
    case ColumnType::Memo:
    case ColumnType::Ole:
        if (const auto* v = as<BinaryValue>(value)) {
            if (v->size() < 12)
                return mismatch();
            return *v;
        }
        return mismatch();
    default:
        if (const auto* v = as<UnsupportedValue>(value))
            return v->bytes;
        return write_errors::unsupportedColumnType(column.name, column.typeCode);
    }
}

namespace {

// A row as it is built: on the stack, since no row may be larger than kMaxRowSize.
class RowBuffer {
public:
    std::size_t size() const { return m_size; }
    uint8_t* data() { return m_bytes; }
    // False, with nothing added, when the row would grow past kMaxRowSize.
    bool append(const uint8_t* bytes, std::size_t count) {
        if (count > kMaxRowSize - m_size)
            return false;
        std::copy(bytes, bytes + count, m_bytes + m_size);
        m_size += count;
        return true;
    }
    bool appendZeros(std::size_t count) {
        if (count > kMaxRowSize - m_size)
            return false;
        std::fill(m_bytes + m_size, m_bytes + m_size + count, uint8_t{0});
        m_size += count;
        return true;
    }
    bool appendU16(std::size_t value) {
        const uint8_t bytes[] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
        return append(bytes, sizeof bytes);
    }
    std::vector<uint8_t> bytes() const { return {m_bytes, m_bytes + m_size}; }

private:
    uint8_t m_bytes[kMaxRowSize];
    std::size_t m_size = 0;
};

} // namespace

Result<std::vector<uint8_t>> encodeRow(const TableDefinition& def, const std::vector<Value>& values) {
    if (values.size() != def.columns.size())
        return write_errors::typeMismatch();
    const std::size_t slots = def.maxColumns;
    const std::size_t maskSize = (slots + 7) / 8;

    std::size_t fixedEnd = 0;
    for (const ColumnDefinition& column : def.columns)
        if (column.isFixed() && column.type() != ColumnType::Boolean)
            fixedEnd = std::max(fixedEnd, std::size_t{column.fixedOffset} + fixedSize(column));

    RowBuffer row;
    if (!row.appendU16(slots) || !row.appendZeros(fixedEnd))
        return write_errors::recordTooLarge();
    struct VariableSlot {
        const ColumnDefinition* column = nullptr; // none: a deleted column's slot
        const Value* value = nullptr;
        std::size_t offset = 0;
    };
    std::vector<VariableSlot> variable(def.variableColumns);

    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const ColumnDefinition& column = def.columns[i];
        const Value& value = values[i];
        if (column.number >= slots)
            return write_errors::unsupportedColumnType(column.name, column.typeCode);
        if (column.isCalculated())
            return write_errors::unsupportedColumnType(column.name, column.typeCode);
        if (column.type() == ColumnType::Boolean) {
            if (!value.isNull() && !value.get<bool>())
                return write_errors::typeMismatch();
            continue;
        }
        if (column.isFixed()) {
            if (value.isNull())
                continue;
            auto bytes = encodeFieldValue(column, value);
            if (!bytes)
                return bytes;
            if (bytes->size() != fixedSize(column))
                return write_errors::typeMismatch();
            std::copy(bytes->begin(), bytes->end(), row.data() + 2 + column.fixedOffset);
            continue;
        }
        if (column.varIndex >= def.variableColumns || variable[column.varIndex].column)
            return write_errors::unsupportedColumnType(column.name, column.typeCode);
        variable[column.varIndex] = {&column, &value, 0};
    }

    if (def.variableColumns > 0) {
        for (VariableSlot& slot : variable) {
            slot.offset = row.size();
            // A slot without a live column belonged to a deleted column: zero length.
            if (!slot.column || slot.value->isNull())
                continue;
            const ColumnDefinition& column = *slot.column;
            if (const auto* text = as<std::string>(*slot.value);
                text && column.type() == ColumnType::Text && mayCompressText(column) && isCompressibleAscii(*text)) {
                // Compressed: FF FE and the text's own bytes.
                static constexpr uint8_t kMark[] = {0xFF, 0xFE};
                if (sizeof kMark + text->size() > column.length)
                    return write_errors::fieldTooSmall();
                if (!row.append(kMark, sizeof kMark) ||
                    !row.append(reinterpret_cast<const uint8_t*>(text->data()), text->size()))
                    return write_errors::recordTooLarge();
                continue;
            }
            auto bytes = encodeFieldValue(column, *slot.value);
            if (!bytes)
                return bytes;
            if (!row.append(bytes->data(), bytes->size()))
                return write_errors::recordTooLarge();
        }
        bool fits = row.appendU16(row.size()); // the end of the data
        for (std::size_t k = variable.size(); k-- > 0;)
            fits = fits && row.appendU16(variable[k].offset);
        if (!fits || !row.appendU16(def.variableColumns))
            return write_errors::recordTooLarge();
    }

    // The null mask: a bit for each column with a value, Yes/No columns holding theirs there.
    const std::size_t maskStart = row.size();
    if (!row.appendZeros(maskSize))
        return write_errors::recordTooLarge();
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        const uint16_t number = def.columns[i].number;
        const bool present = def.columns[i].type() == ColumnType::Boolean
                                 ? values[i].get<bool>() && *values[i].get<bool>()
                                 : !values[i].isNull();
        if (present)
            row.data()[maskStart + number / 8] |= static_cast<uint8_t>(1u << (number % 8));
    }
    return row.bytes();
}

} // namespace storage
