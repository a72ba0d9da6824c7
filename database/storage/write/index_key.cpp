// Index keys, one piece per key column:
//
//   Null                 00 (descending FF)
//   otherwise            7F (descending 80), then
//     Yes/No             00 Yes, FF No (descending reversed)
//     Byte               the byte
//     Integer .. BigInt  big-endian, top bit flipped
//     Single .. Date     big-endian IEEE; positive: top bit flipped, negative: all bits inverted
//     Decimal            FF, 16-byte big-endian magnitude; negative values inverted whole
//     GUID, Binary,      8-byte segments, each followed by 09 when more follows;
//     Date/Time Ext.     the last padded with zeros and followed by its length (1-8)
//     Text, Memo         see text_index_key.cpp
//   descending: the ascending bytes inverted (segments keep their 09 bytes;
//   Jet 4 Decimal keys keep their first byte).

#include "database/storage/write/index_key.h"

#include "database/storage/format/text_codec.h"
#include "database/storage/write/key_bytes.h"
#include "database/storage/write/row_encoder.h"
#include "database/storage/write/text_index_key.h"
#include "database/storage/write/write_errors.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace storage {

namespace {

constexpr uint8_t kAscendingFlag = 0x7F;
constexpr uint8_t kDescendingFlag = 0x80;
constexpr uint8_t kNullAscending = 0x00;
constexpr uint8_t kNullDescending = 0xFF;
constexpr std::size_t kSegment = 8;
constexpr uint8_t kMoreSegments = 0x09;

void invert(std::vector<uint8_t>& bytes, std::size_t from) {
    for (std::size_t i = from; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(~bytes[i]);
}

template <class T>
void appendBigEndian(std::vector<uint8_t>& out, T value) {
    using U = std::make_unsigned_t<T>;
    const auto bits = static_cast<U>(value);
    for (std::size_t i = sizeof(T); i-- > 0;)
        out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

template <class T>
void appendSignedInteger(std::vector<uint8_t>& out, T value) {
    const std::size_t start = out.size();
    appendBigEndian(out, value);
    out[start] ^= 0x80;
}

template <class Bits, class Float>
void appendFloatingPoint(std::vector<uint8_t>& out, Float value) {
    const std::size_t start = out.size();
    appendBigEndian(out, std::bit_cast<Bits>(value));
    if (out[start] & 0x80)
        invert(out, start);
    else
        out[start] ^= 0x80;
}

void appendSegments(std::vector<uint8_t>& out, Bytes data, bool ascending) {
    std::size_t at = 0;
    while (data.size() - at > kSegment) {
        const std::size_t start = out.size();
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + kSegment));
        if (!ascending)
            invert(out, start);
        out.push_back(kMoreSegments);
        at += kSegment;
    }
    if (at == data.size())
        return; // empty value: nothing after the flag
    const std::size_t start = out.size();
    out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at), data.end());
    out.resize(start + kSegment, 0);
    out.push_back(static_cast<uint8_t>(data.size() - at));
    if (!ascending)
        invert(out, start);
}

void appendDecimal(std::vector<uint8_t>& out, const Decimal& value, bool ascending, bool legacy) {
    const std::size_t start = out.size();
    out.push_back(0xFF);
    for (uint32_t word : value.magnitude)
        appendBigEndian(out, word);
    const bool negative = value.negative;
    if (negative)
        invert(out, start);
    if (ascending)
        return;
    if (legacy) // Jet 4 inverts the magnitude only, which puts negative values in the wrong order
        invert(out, start + 1);
    else
        invert(out, start);
}


} // namespace

Status appendKeyColumn(std::vector<uint8_t>& key, const ColumnDefinition& column, const Value& value, bool ascending,
                       const IndexKeyOptions& options) {
    if (column.isCalculated())
        return write_errors::unsupportedColumnType(column.name, column.typeCode);
    if (column.type() == ColumnType::Boolean) {
        const bool* flag = value.get<bool>();
        if (!value.isNull() && !flag)
            return write_errors::typeMismatch();
        const bool yes = flag && *flag;
        key.push_back(ascending ? kAscendingFlag : kDescendingFlag);
        key.push_back(yes == ascending ? 0x00 : 0xFF);
        return Status::ok();
    }
    if (value.isNull()) {
        key.push_back(ascending ? kNullAscending : kNullDescending);
        return Status::ok();
    }
    const std::size_t flagAt = key.size();
    key.push_back(ascending ? kAscendingFlag : kDescendingFlag);
    const std::size_t start = key.size();
    const auto mismatch = [&] {
        key.resize(flagAt);
        return Status(write_errors::typeMismatch());
    };
    bool invertAfter = !ascending;
    switch (column.type()) {
    case ColumnType::Byte:
        if (const auto* v = value.get<uint8_t>()) {
            key.push_back(*v);
            break;
        }
        return mismatch();
    case ColumnType::Integer:
        if (const auto* v = value.get<int16_t>()) {
            appendSignedInteger(key, *v);
            break;
        }
        return mismatch();
    case ColumnType::Long:
        if (const auto* v = value.get<int32_t>()) {
            appendSignedInteger(key, *v);
            break;
        }
        return mismatch();
    case ColumnType::Complex:
        if (const auto* v = value.get<ComplexValueId>()) {
            appendSignedInteger(key, v->id);
            break;
        }
        return mismatch();
    case ColumnType::BigInt:
        if (const auto* v = value.get<int64_t>()) {
            appendSignedInteger(key, *v);
            break;
        }
        return mismatch();
    case ColumnType::Currency:
        if (const auto* v = value.get<Currency>()) {
            appendSignedInteger(key, v->scaled);
            break;
        }
        return mismatch();
    case ColumnType::Single:
        if (const auto* v = value.get<float>()) {
            appendFloatingPoint<uint32_t>(key, *v);
            break;
        }
        return mismatch();
    case ColumnType::Double:
        if (const auto* v = value.get<double>()) {
            appendFloatingPoint<uint64_t>(key, *v);
            break;
        }
        return mismatch();
    case ColumnType::DateTime:
        if (const auto* v = value.get<DateTime>()) {
            appendFloatingPoint<uint64_t>(key, v->days);
            break;
        }
        return mismatch();
    case ColumnType::Decimal:
        if (const auto* v = value.get<Decimal>()) {
            appendDecimal(key, *v, ascending, options.format == FileFormat::Jet4);
            invertAfter = false;
            break;
        }
        return mismatch();
    case ColumnType::Guid:
        if (const auto* v = value.get<Guid>()) {
            // In the order the GUID is written: Data1 to Data3 back to big-endian.
            std::array<uint8_t, 16> printed = v->bytes;
            std::swap(printed[0], printed[3]);
            std::swap(printed[1], printed[2]);
            std::swap(printed[4], printed[5]);
            std::swap(printed[6], printed[7]);
            appendSegments(key, printed, ascending);
            invertAfter = false;
            break;
        }
        return mismatch();
    case ColumnType::Binary:
        if (const auto* v = value.get<BinaryValue>()) {
            appendSegments(key, *v, ascending);
            invertAfter = false;
            break;
        }
        return mismatch();
    case ColumnType::ExtendedDateTime:
        if (value.get<ExtendedDateTime>()) {
            auto stored = encodeFieldValue(column, value);
            if (!stored)
                return stored.status();
            appendSegments(key, *stored, ascending);
            invertAfter = false;
            break;
        }
        return mismatch();
    case ColumnType::Text:
    case ColumnType::Memo:
        if (const auto* v = value.get<std::string>()) {
            const uint8_t version = options.sortOrderVersions.count(column.number)
                                        ? options.sortOrderVersions.at(column.number)
                                        : options.defaultSortOrderVersion;
            auto order = textSortOrder(column.sortOrder, version, options.format);
            if (!order) {
                key.resize(flagAt);
                return order.status();
            }
            // Plain ASCII is its own UTF-16: a key's worth of it needs no conversion on the heap.
            std::array<char16_t, 255> asciiUnits;
            std::u16string converted;
            std::u16string_view units;
            if (v->size() <= asciiUnits.size() &&
                std::all_of(v->begin(), v->end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
                std::copy(v->begin(), v->end(), asciiUnits.begin());
                units = std::u16string_view(asciiUnits.data(), v->size());
            } else {
                converted = utf8ToUtf16(*v);
                units = converted;
            }
            appendTextKey(key, units, *order, ascending);
            invertAfter = false;
            break;
        }
        return mismatch();
    default:
        key.resize(flagAt);
        return write_errors::unsupportedColumnType(column.name, column.typeCode);
    }
    if (invertAfter)
        invert(key, start);
    return Status::ok();
}

IndexKeyOptions keyOptionsFor(const TableDefinition& def, FileFormat format) {
    IndexKeyOptions options;
    options.format = format;
    for (const ColumnDefinition& column : def.columns)
        if (column.type() == ColumnType::Text || column.type() == ColumnType::Memo)
            options.sortOrderVersions[column.number] = column.sortOrderVersion;
    return options;
}

Result<std::vector<uint8_t>> encodeIndexKey(const TableDefinition& def, const RealIndex& index,
                                            const std::vector<Value>& row, const IndexKeyOptions& options) {
    std::vector<uint8_t> key;
    key.reserve(KeyBytes::kInlineCapacity); // room for most keys at once
    for (const IndexColumn& keyColumn : index.columns) {
        std::size_t at = 0;
        while (at < def.columns.size() && def.columns[at].number != keyColumn.columnNumber)
            ++at;
        if (at == def.columns.size() || at >= row.size())
            return Error{0, "index names column " + std::to_string(keyColumn.columnNumber) + ", which the table lacks",
                         ErrorKind::Corruption};
        if (Status status = appendKeyColumn(key, def.columns[at], row[at], keyColumn.ascending, options); !status)
            return status;
    }
    return key;
}

} // namespace storage
