#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace storage {

// A number read from text, exactly: (-1 if negative) x digits x 10^exponent.
// digits has no leading zeros ("" for zero), so no precision is lost before
// the column type decides how to round.
struct DecimalNumber {
    bool negative = false;
    std::string digits;
    int exponent = 0;

    bool isZero() const { return digits.empty(); }
};

// Reads "  -12.50e3 ": blanks (space, tab), an optional sign, digits with an
// optional "." and fraction (".5" and "5." included), an optional exponent,
// blanks. No thousands separators, no currency signs, "." only: the engine
// converts with one fixed locale. Nullopt when the text is no such number.
std::optional<DecimalNumber> parseDecimalNumber(std::string_view text);

// The exact decimal digits of a double (shortest form that reads back the same).
DecimalNumber decimalFromDouble(double value);

// The unscaled integer value x 10^scale rounded half to even (banker's
// rounding, as the OLE Automation conversions do), as decimal digits without
// leading zeros ("0" for zero). Nullopt when it has more than maxDigits digits.
std::optional<std::string> roundedDigits(const DecimalNumber& number, int scale, std::size_t maxDigits);

// The value rounded half to even to an integer in [minimum, maximum]; nullopt on overflow.
std::optional<int64_t> toInteger(const DecimalNumber& number, int64_t minimum, int64_t maximum);

// Nearest double / float; nullopt when the value is beyond the type's range.
// Values too small for the type become zero, as a conversion rounds them.
std::optional<double> toDouble(const DecimalNumber& number);
std::optional<float> toFloat(const DecimalNumber& number);

// Decimal digits as the four 32-bit words of a 128-bit magnitude, most
// significant first; nullopt when they need more than 128 bits.
std::optional<std::array<uint32_t, 4>> magnitudeWords(std::string_view digits);

} // namespace storage
