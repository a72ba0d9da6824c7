#include "database/storage/table/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace storage {

namespace {

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's algorithm).
void civilFromDays(int64_t z, int64_t& year, unsigned& month, unsigned& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
}

constexpr int64_t kDaysFrom1970To18991230 = -25569;
constexpr int64_t kDaysFromYearOneTo1970 = 719162;

std::string formatDate(int64_t year, unsigned month, unsigned day, unsigned hour, unsigned minute, unsigned second) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02u %02u:%02u:%02u", static_cast<long long>(year), month, day,
                  hour, minute, second);
    return buffer;
}

template <class Float>
std::string shortest(Float value) {
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Infinity" : "Infinity";
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string hexBytes(const std::vector<uint8_t>& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (uint8_t byte : bytes) {
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
    }
    return out;
}

std::string formatCurrency(int64_t scaled) {
    const bool negative = scaled < 0;
    // Negating INT64_MIN is undefined; work in unsigned.
    const uint64_t magnitude = negative ? uint64_t{0} - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%s%llu.%04llu", negative ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 10000), static_cast<unsigned long long>(magnitude % 10000));
    return buffer;
}

std::string formatDecimal(const Decimal& value) {
    std::array<uint32_t, 4> words = value.magnitude;
    std::string digits;
    auto isZero = [&] { return words[0] == 0 && words[1] == 0 && words[2] == 0 && words[3] == 0; };
    while (!isZero()) {
        uint64_t remainder = 0;
        for (uint32_t& word : words) {
            const uint64_t current = (remainder << 32) | word;
            word = static_cast<uint32_t>(current / 10);
            remainder = current % 10;
        }
        digits.insert(digits.begin(), static_cast<char>('0' + remainder));
    }
    const std::size_t scale = value.scale;
    if (digits.size() <= scale)
        digits.insert(digits.begin(), scale + 1 - digits.size(), '0');
    if (scale > 0)
        digits.insert(digits.end() - static_cast<std::ptrdiff_t>(scale), '.');
    // "-0" is not a number anyone wants to read.
    const bool allZero = digits.find_first_not_of("0.-") == std::string::npos;
    if (value.negative && !allZero)
        digits.insert(digits.begin(), '-');
    return digits;
}

std::string formatGuid(const Guid& guid) {
    const auto& b = guid.bytes;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13], b[14], b[15]);
    return buffer;
}

std::string formatExtended(const ExtendedDateTime& value) {
    int64_t year = 0;
    unsigned month = 0, day = 0;
    civilFromDays(value.daysSinceYearOne - kDaysFromYearOneTo1970, year, month, day);
    const int64_t seconds = value.secondsOfDay;
    std::string text = formatDate(year, month, day, static_cast<unsigned>(seconds / 3600),
                                  static_cast<unsigned>(seconds / 60 % 60), static_cast<unsigned>(seconds % 60));
    char fraction[16];
    std::snprintf(fraction, sizeof fraction, ".%07d", value.hundredNanoseconds);
    return text + fraction;
}

} // namespace

bool toCivil(DateTime value, CivilDateTime& out) {
    // Access dates run from year 100 to 9999; far outside that the value is no date.
    if (!std::isfinite(value.days) || std::fabs(value.days) > 3.0e6)
        return false;
    const double whole = std::trunc(value.days);
    const double fraction = std::fabs(value.days - whole);
    auto day = static_cast<int64_t>(whole);
    auto seconds = static_cast<int64_t>(std::llround(fraction * 86400.0));
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    civilFromDays(day + kDaysFrom1970To18991230, out.year, out.month, out.day);
    out.hour = static_cast<unsigned>(seconds / 3600);
    out.minute = static_cast<unsigned>(seconds / 60 % 60);
    out.second = static_cast<unsigned>(seconds % 60);
    return true;
}

std::string formatValue(const Value& value) {
    struct Formatter {
        std::string operator()(std::monostate) const { return {}; }
        std::string operator()(bool v) const { return v ? "1" : "0"; }
        std::string operator()(uint8_t v) const { return std::to_string(v); }
        std::string operator()(int16_t v) const { return std::to_string(v); }
        std::string operator()(int32_t v) const { return std::to_string(v); }
        std::string operator()(int64_t v) const { return std::to_string(v); }
        std::string operator()(const Currency& v) const { return formatCurrency(v.scaled); }
        std::string operator()(float v) const { return shortest(v); }
        std::string operator()(double v) const { return shortest(v); }
        std::string operator()(const DateTime& v) const {
            CivilDateTime civil;
            if (!toCivil(v, civil))
                return shortest(v.days);
            return formatDate(civil.year, civil.month, civil.day, civil.hour, civil.minute, civil.second);
        }
        std::string operator()(const ExtendedDateTime& v) const { return formatExtended(v); }
        std::string operator()(const Guid& v) const { return formatGuid(v); }
        std::string operator()(const Decimal& v) const { return formatDecimal(v); }
        std::string operator()(const std::string& v) const { return v; }
        std::string operator()(const BinaryValue& v) const { return hexBytes(v); }
        std::string operator()(const ComplexValueId& v) const { return std::to_string(v.id); }
        std::string operator()(const UnsupportedValue& v) const { return hexBytes(v.bytes); }
    };
    return std::visit(Formatter{}, value.storage());
}

bool isQuotedInCsv(Value::Kind kind) {
    switch (kind) {
    case Value::Kind::DateTime:
    case Value::Kind::ExtendedDateTime:
    case Value::Kind::Guid:
    case Value::Kind::Text:
    case Value::Kind::Binary:
    case Value::Kind::Unsupported: return true;
    default: return false;
    }
}

} // namespace storage
