#include "database/storage/write/decimal_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace storage {

namespace {

// Exponents beyond this make every type overflow or underflow; clamping keeps the arithmetic in int.
constexpr int kExponentLimit = 100000;

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

void normalise(DecimalNumber& number) {
    const std::size_t first = number.digits.find_first_not_of('0');
    number.digits.erase(0, first == std::string::npos ? number.digits.size() : first);
    while (!number.digits.empty() && number.digits.back() == '0') {
        number.digits.pop_back();
        ++number.exponent;
    }
    if (number.digits.empty()) {
        number.exponent = 0;
        number.negative = false;
    }
}

// Adds one to a string of decimal digits.
void increment(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

// Text that std::from_chars reads: the exact digits and exponent.
std::string scientific(const DecimalNumber& number) {
    return number.digits + "e" + std::to_string(number.exponent);
}

} // namespace

std::optional<DecimalNumber> parseDecimalNumber(std::string_view text) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && isBlank(text[i]))
        ++i;
    DecimalNumber number;
    if (i < n && (text[i] == '+' || text[i] == '-'))
        number.negative = text[i++] == '-';
    bool anyDigit = false;
    while (i < n && isDigit(text[i])) {
        number.digits += text[i++];
        anyDigit = true;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && isDigit(text[i])) {
            number.digits += text[i++];
            --number.exponent;
            anyDigit = true;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-'))
            negativeExponent = text[i++] == '-';
        if (i >= n || !isDigit(text[i]))
            return std::nullopt;
        int exponent = 0;
        while (i < n && isDigit(text[i])) {
            if (exponent < kExponentLimit)
                exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        number.exponent += negativeExponent ? -exponent : exponent;
    }
    while (i < n && isBlank(text[i]))
        ++i;
    if (i != n)
        return std::nullopt;
    normalise(number);
    return number;
}

DecimalNumber decimalFromDouble(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    auto parsed = parseDecimalNumber(std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
    return parsed ? *parsed : DecimalNumber{};
}

std::optional<std::string> roundedDigits(const DecimalNumber& number, int scale, std::size_t maxDigits) {
    if (number.isZero())
        return std::string("0");
    const long long shift = static_cast<long long>(number.exponent) + scale; // decimal places to the left
    if (shift >= 0) {
        if (number.digits.size() + static_cast<std::size_t>(shift) > maxDigits)
            return std::nullopt;
        return number.digits + std::string(static_cast<std::size_t>(shift), '0');
    }
    const std::size_t dropped = static_cast<std::size_t>(-shift);
    std::string kept = dropped < number.digits.size() ? number.digits.substr(0, number.digits.size() - dropped) : "";
    const std::string fraction =
        dropped <= number.digits.size() ? number.digits.substr(number.digits.size() - dropped)
                                        : std::string(dropped - number.digits.size(), '0') + number.digits;
    // fraction has no trailing zeros (digits are normalised), so "5" alone is an exact half.
    const char first = fraction.front();
    const bool exactHalf = first == '5' && fraction.size() == 1;
    const bool keptOdd = !kept.empty() && ((kept.back() - '0') % 2 == 1);
    if (first > '5' || (first == '5' && !exactHalf) || (exactHalf && keptOdd))
        increment(kept);
    if (kept.empty())
        kept.push_back('0');
    if (kept.size() > maxDigits)
        return std::nullopt;
    return kept;
}

std::optional<int64_t> toInteger(const DecimalNumber& number, int64_t minimum, int64_t maximum) {
    const auto digits = roundedDigits(number, 0, 19);
    if (!digits)
        return std::nullopt;
    const uint64_t magnitude = std::strtoull(digits->c_str(), nullptr, 10);
    const bool negative = number.negative && magnitude != 0;
    if (negative) {
        const uint64_t largest = minimum >= 0 ? 0 : static_cast<uint64_t>(-(minimum + 1)) + 1;
        if (magnitude > largest)
            return std::nullopt;
        return static_cast<int64_t>(0 - magnitude);
    }
    if (maximum < 0 || magnitude > static_cast<uint64_t>(maximum))
        return std::nullopt;
    return static_cast<int64_t>(magnitude);
}

std::optional<double> toDouble(const DecimalNumber& number) {
    if (number.isZero())
        return 0.0;
    const std::string text = scientific(number);
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Out of range either way: overflow when the number is large, else it rounds to zero.
        if (static_cast<long long>(number.digits.size()) + number.exponent > 0)
            return std::nullopt;
        value = 0;
    }
    if (std::isinf(value))
        return std::nullopt;
    return number.negative ? -value : value;
}

std::optional<float> toFloat(const DecimalNumber& number) {
    if (number.isZero())
        return 0.0f;
    const std::string text = scientific(number);
    float value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (static_cast<long long>(number.digits.size()) + number.exponent > 0)
            return std::nullopt;
        value = 0;
    }
    if (std::isinf(value))
        return std::nullopt;
    return number.negative ? -value : value;
}

std::optional<std::array<uint32_t, 4>> magnitudeWords(std::string_view digits) {
    std::array<uint32_t, 4> words{}; // most significant first
    for (char c : digits) {
        uint64_t carry = static_cast<uint64_t>(c - '0');
        for (std::size_t i = words.size(); i-- > 0;) {
            const uint64_t product = uint64_t{words[i]} * 10 + carry;
            words[i] = static_cast<uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0)
            return std::nullopt;
    }
    return words;
}

} // namespace storage
