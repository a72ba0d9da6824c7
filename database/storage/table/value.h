#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace storage {

struct Currency {
    int64_t scaled = 0; // amount x 10 000
    bool operator==(const Currency&) const = default;
};

// Date/Time: days since 1899-12-30; the fraction is the time of day, also
// before the epoch (-1.25 is 1899-12-29 06:00).
struct DateTime {
    double days = 0;
    bool operator==(const DateTime&) const = default;
};

// Date/Time Extended (ACE 17): exact to 100 ns, years 1 to 9999.
struct ExtendedDateTime {
    int64_t daysSinceYearOne = 0; // 0 = 0001-01-01
    int64_t secondsOfDay = 0;
    int32_t hundredNanoseconds = 0;
    bool operator==(const ExtendedDateTime&) const = default;
};

struct Guid {
    std::array<uint8_t, 16> bytes{}; // as stored: Data1..Data3 little-endian
    bool operator==(const Guid&) const = default;
};

// Decimal: sign and a 96..128-bit unscaled magnitude, value = magnitude / 10^scale.
struct Decimal {
    bool negative = false;
    std::array<uint32_t, 4> magnitude{}; // most significant word first
    uint8_t precision = 0;
    uint8_t scale = 0;
    bool operator==(const Decimal&) const = default;
};

// Key of an attachment / multi-value / version-history column into its hidden table.
struct ComplexValueId {
    int32_t id = 0;
    bool operator==(const ComplexValueId&) const = default;
};

// A value of a column type this engine does not decode, kept as its bytes.
struct UnsupportedValue {
    uint8_t typeCode = 0;
    std::vector<uint8_t> bytes;
    bool operator==(const UnsupportedValue&) const = default;
};

using BinaryValue = std::vector<uint8_t>;

// One column value of a row. Text is UTF-8; Memo is Text, OLE Object is Binary.
class Value {
public:
    // The order of these alternatives matches Value::Kind.
    using Storage = std::variant<std::monostate, bool, uint8_t, int16_t, int32_t, int64_t, Currency, float, double,
                                 DateTime, ExtendedDateTime, Guid, Decimal, std::string, BinaryValue, ComplexValueId,
                                 UnsupportedValue>;
    enum class Kind {
        Null,
        Boolean,
        Byte,
        Integer,
        Long,
        BigInt,
        Currency,
        Single,
        Double,
        DateTime,
        ExtendedDateTime,
        Guid,
        Decimal,
        Text,
        Binary,
        Complex,
        Unsupported,
    };

    Value() = default;
    template <class T>
    Value(T value) : m_storage(std::move(value)) {}

    Kind kind() const { return static_cast<Kind>(m_storage.index()); }
    bool isNull() const { return kind() == Kind::Null; }
    const Storage& storage() const { return m_storage; }
    // Null when the value holds another type.
    template <class T>
    const T* get() const {
        return std::get_if<T>(&m_storage);
    }
    bool operator==(const Value&) const = default;
    // Replaces the value in place, without a temporary Value.
    template <class T, class... Args>
    void emplace(Args&&... args) {
        m_storage.template emplace<T>(std::forward<Args>(args)...);
    }

private:
    Storage m_storage;
};

// The text form used for CSV dumps, one per kind:
//   Null ""; Boolean "1"/"0"; Byte, Integer, Long, BigInt, Complex: decimal integer;
//   Currency: exactly four decimals ("-12.5000"); Single, Double: shortest text that reads
//   back to the same value ("444.555", "1e+20"); Decimal: exact, with `scale` decimals;
//   DateTime "YYYY-MM-DD HH:MM:SS" (nearest second, proleptic Gregorian);
//   ExtendedDateTime "YYYY-MM-DD HH:MM:SS.fffffff"; Guid "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
//   Text as is; Binary and Unsupported: upper-case hex digits, two per byte.
std::string formatValue(const Value& value);

// Whether a CSV dump quotes this kind (text, dates, GUIDs, bytes), as spreadsheet imports expect.
bool isQuotedInCsv(Value::Kind kind);

// Calendar fields of a Date/Time value; false when it is no representable date.
struct CivilDateTime {
    int64_t year = 0;
    unsigned month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
bool toCivil(DateTime value, CivilDateTime& out);

} // namespace storage
