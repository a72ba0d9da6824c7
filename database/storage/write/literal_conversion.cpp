#include "database/storage/write/literal_conversion.h"

#include "database/storage/format/text_codec.h"
#include "database/storage/write/date_text.h"
#include "database/storage/write/decimal_text.h"
#include "database/storage/write/write_errors.h"

#include <cctype>
#include <charconv>
#include <limits>

namespace storage {

namespace {

// The range of Date/Time: 100-01-01 to 9999-12-31 23:59:59.
constexpr double kFirstDay = -657434.0;
constexpr double kLastDay = 2958466.0;
// Decimal columns without a stated precision hold 18 digits, as Access creates them.
constexpr uint8_t kDefaultDecimalPrecision = 18;
// Long values hold at most 0x3FFFFFFF bytes.
constexpr std::size_t kMaxLongValueBytes = 0x3FFFFFFF;

std::string lower(std::string_view text) {
    std::string out;
    for (char c : text)
        out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// How Jet prints a number as text: 15 significant digits, exponent form for
// large and very small values ("1E+20", "1E-05").
std::string numberAsText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    std::string text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    for (char& c : text)
        if (c == 'e')
            c = 'E';
    return text;
}

// Whether a Text or Memo column holds the text.
bool textFits(std::string_view text, const ColumnDefinition& column) {
    const std::size_t limit = column.type() == ColumnType::Text ? column.length / 2u : kMaxLongValueBytes / 2;
    // UTF-8 never takes fewer bytes than UTF-16 units: short text needs no counting.
    return text.size() <= limit || utf8ToUtf16(text).size() <= limit;
}

Result<Value> textValue(std::string text, const ColumnDefinition& column) {
    if (!textFits(text, column))
        return write_errors::fieldTooSmall();
    return Value(std::move(text));
}

Result<Value> bytesValue(std::string_view text, const ColumnDefinition& column) {
    const std::u16string units = utf8ToUtf16(text);
    BinaryValue bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t unit : units) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    const std::size_t limit = column.type() == ColumnType::Binary ? column.length : kMaxLongValueBytes;
    if (bytes.size() > limit)
        return write_errors::fieldTooSmall();
    return Value(std::move(bytes));
}

template <class T>
Result<Value> integerValue(const DecimalNumber& number) {
    const auto value = toInteger(number, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    if (!value)
        return write_errors::numericOverflow();
    return Value(static_cast<T>(*value));
}

Result<Value> currencyValue(const DecimalNumber& number) {
    DecimalNumber scaled = number;
    if (!scaled.isZero())
        scaled.exponent += 4;
    const auto value = toInteger(scaled, std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max());
    if (!value)
        return write_errors::numericOverflow();
    return Value(Currency{*value});
}

Result<Value> decimalValue(const DecimalNumber& number, const ColumnDefinition& column) {
    const uint8_t precision = column.precision != 0 ? column.precision : kDefaultDecimalPrecision;
    const auto digits = roundedDigits(number, column.scale, precision);
    if (!digits)
        return write_errors::decimalPrecisionTooSmall();
    const auto words = magnitudeWords(*digits);
    if (!words)
        return write_errors::decimalPrecisionTooSmall();
    Decimal decimal;
    decimal.negative = number.negative && *digits != "0";
    decimal.magnitude = *words;
    decimal.precision = precision;
    decimal.scale = column.scale;
    return Value(decimal);
}

Result<Value> dayCountValue(const DecimalNumber& number) {
    const auto days = toDouble(number);
    if (!days || *days < kFirstDay || *days >= kLastDay)
        return write_errors::numericOverflow();
    return Value(DateTime{*days});
}

// A number into any column type but Text/Memo (whose text form depends on where the number came from).
Result<Value> numberInto(const DecimalNumber& number, const ColumnDefinition& column) {
    switch (column.type()) {
    case ColumnType::Boolean: return Value(!number.isZero());
    case ColumnType::Byte: return integerValue<uint8_t>(number);
    case ColumnType::Integer: return integerValue<int16_t>(number);
    case ColumnType::Long: return integerValue<int32_t>(number);
    case ColumnType::BigInt: return integerValue<int64_t>(number);
    case ColumnType::Currency: return currencyValue(number);
    case ColumnType::Decimal: return decimalValue(number, column);
    case ColumnType::Single: {
        const auto value = toFloat(number);
        if (!value)
            return write_errors::numericOverflow();
        return Value(*value);
    }
    case ColumnType::Double: {
        const auto value = toDouble(number);
        if (!value)
            return write_errors::numericOverflow();
        return Value(*value);
    }
    case ColumnType::DateTime: return dayCountValue(number);
    default: return write_errors::typeMismatch();
    }
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}; Data1 to Data3 are stored little-endian.
Result<Value> guidValue(std::string_view text) {
    text = trimmed(text);
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36)
        return write_errors::typeMismatch();
    std::array<uint8_t, 16> printed{};
    std::size_t byte = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (i == 8 || i == 13 || i == 18 || i == 23) {
            if (text[i] != '-')
                return write_errors::typeMismatch();
            ++i;
            continue;
        }
        const int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0)
            return write_errors::typeMismatch();
        printed[byte++] = static_cast<uint8_t>(high * 16 + low);
        i += 2;
    }
    Guid guid;
    guid.bytes = printed;
    std::swap(guid.bytes[0], guid.bytes[3]);
    std::swap(guid.bytes[1], guid.bytes[2]);
    std::swap(guid.bytes[4], guid.bytes[5]);
    std::swap(guid.bytes[6], guid.bytes[7]);
    return Value(guid);
}

Result<Value> dateInto(const ParsedDateTime& parsed, const ColumnDefinition& column) {
    if (column.type() == ColumnType::ExtendedDateTime) {
        if (parsed.year < 1 || parsed.year > 9999)
            return write_errors::typeMismatch();
        return Value(toExtendedDateTime(parsed));
    }
    if (parsed.year < 100 || parsed.year > 9999)
        return write_errors::typeMismatch();
    const DateTime value = toDateTime(parsed);
    switch (column.type()) {
    case ColumnType::DateTime: return Value(value);
    case ColumnType::Text:
    case ColumnType::Memo: return textValue(formatUsDateTime(value), column);
    default: return numberInto(decimalFromDouble(value.days), column);
    }
}

Result<Value> booleanText(std::string_view text) {
    const std::string word = lower(trimmed(text));
    if (word == "true" || word == "yes" || word == "on")
        return Value(true);
    if (word == "false" || word == "no" || word == "off")
        return Value(false);
    if (const auto number = parseDecimalNumber(text))
        return Value(!number->isZero());
    return write_errors::typeMismatch();
}

bool writable(const ColumnDefinition& column) {
    if (column.isCalculated())
        return false;
    switch (column.type()) {
    case ColumnType::Boolean:
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long:
    case ColumnType::Currency:
    case ColumnType::Single:
    case ColumnType::Double:
    case ColumnType::DateTime:
    case ColumnType::Binary:
    case ColumnType::Text:
    case ColumnType::Ole:
    case ColumnType::Memo:
    case ColumnType::Guid:
    case ColumnType::Decimal:
    case ColumnType::BigInt:
    case ColumnType::ExtendedDateTime: return true;
    default: return false;
    }
}

} // namespace

Result<Value> convertText(std::string_view text, const ColumnDefinition& column) {
    if (!writable(column))
        return write_errors::unsupportedColumnType(column.name, column.typeCode);
    switch (column.type()) {
    case ColumnType::Text:
    case ColumnType::Memo: return textValue(std::string(text), column);
    case ColumnType::Binary:
    case ColumnType::Ole: return bytesValue(text, column);
    case ColumnType::Boolean: return booleanText(text);
    case ColumnType::Guid: return guidValue(text);
    case ColumnType::DateTime:
    case ColumnType::ExtendedDateTime: {
        const auto parsed = parseDateTimeText(text);
        if (!parsed)
            return write_errors::typeMismatch();
        return dateInto(*parsed, column);
    }
    default: {
        const auto number = parseDecimalNumber(text);
        if (!number)
            return write_errors::typeMismatch();
        return numberInto(*number, column);
    }
    }
}

bool convertTextIntoText(const sql::Literal& literal, const ColumnDefinition& column, Value& out) {
    if (literal.kind != sql::Literal::Kind::String || column.type() != ColumnType::Text || !writable(column) ||
        !textFits(literal.text, column))
        return false;
    out.emplace<std::string>(literal.text);
    return true;
}

Result<Value> convertLiteral(const sql::Literal& literal, const ColumnDefinition& column) {
    using Kind = sql::Literal::Kind;
    if (!writable(column))
        return write_errors::unsupportedColumnType(column.name, column.typeCode);
    const bool textColumn = column.type() == ColumnType::Text || column.type() == ColumnType::Memo;
    switch (literal.kind) {
    case Kind::Null: return Value();
    case Kind::String: return convertText(literal.text, column);
    case Kind::Number: {
        const auto number = parseDecimalNumber(literal.text);
        if (!number)
            return write_errors::typeMismatch();
        if (textColumn) {
            const auto value = toDouble(*number);
            if (!value)
                return write_errors::numericOverflow();
            return textValue(numberAsText(*value), column);
        }
        return numberInto(*number, column);
    }
    case Kind::Boolean: {
        if (column.type() == ColumnType::Boolean)
            return Value(literal.boolean);
        if (textColumn)
            return textValue(literal.boolean ? "-1" : "0", column);
        DecimalNumber number;
        if (literal.boolean) {
            number.negative = true;
            number.digits = "1";
        }
        return numberInto(number, column);
    }
    case Kind::Date: {
        const auto parsed = parseDateTimeText(literal.text);
        if (!parsed)
            return write_errors::typeMismatch();
        return dateInto(*parsed, column);
    }
    }
    return write_errors::typeMismatch();
}

} // namespace storage
