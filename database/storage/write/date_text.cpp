#include "database/storage/write/date_text.h"

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace storage {

namespace {

constexpr std::array<const char*, 12> kMonthNames = {"january", "february", "march",     "april",   "may",      "june",
                                                     "july",    "august",   "september", "october", "november", "december"};

bool isLeap(int64_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned daysInMonth(int64_t year, unsigned month) {
    static constexpr std::array<unsigned, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : kDays[month - 1];
}

// A cursor over the text; every parse step restores the position when it fails.
class Scanner {
public:
    explicit Scanner(std::string_view text) : m_text(text) {}

    bool atEnd() const { return m_pos == m_text.size(); }
    std::size_t position() const { return m_pos; }
    void reset(std::size_t position) { m_pos = position; }
    char peek() const { return atEnd() ? '\0' : m_text[m_pos]; }
    bool skipBlanks() {
        const std::size_t start = m_pos;
        while (!atEnd() && (peek() == ' ' || peek() == '\t'))
            ++m_pos;
        return m_pos != start;
    }
    bool take(char c) {
        if (peek() != c)
            return false;
        ++m_pos;
        return true;
    }
    // Digits, at most maxDigits of them; the count in `count`.
    bool number(int64_t& value, std::size_t maxDigits, std::size_t& count) {
        value = 0;
        count = 0;
        while (!atEnd() && std::isdigit(static_cast<unsigned char>(peek()))) {
            if (++count > maxDigits)
                return false;
            value = value * 10 + (peek() - '0');
            ++m_pos;
        }
        return count > 0;
    }
    std::string word() {
        std::string out;
        while (!atEnd() && std::isalpha(static_cast<unsigned char>(peek())))
            out += static_cast<char>(std::tolower(static_cast<unsigned char>(m_text[m_pos++])));
        return out;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

unsigned monthFromName(const std::string& word) {
    for (std::size_t i = 0; i < kMonthNames.size(); ++i) {
        const std::string_view name = kMonthNames[i];
        if (word == name || (word.size() == 3 && name.substr(0, 3) == word))
            return static_cast<unsigned>(i + 1);
    }
    return 0;
}

int64_t windowedYear(int64_t year, std::size_t digits) {
    if (digits > 2)
        return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

bool setDate(ParsedDateTime& out, int64_t year, int64_t month, int64_t day) {
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, static_cast<unsigned>(month)))
        return false;
    out.hasDate = true;
    out.year = year;
    out.month = static_cast<unsigned>(month);
    out.day = static_cast<unsigned>(day);
    return true;
}

// Numeric dates (ISO or US order) and dates with a month name; sets iso for the ISO forms.
bool parseDate(Scanner& in, ParsedDateTime& out, bool& iso) {
    const std::size_t start = in.position();
    int64_t first = 0, second = 0, third = 0;
    std::size_t firstDigits = 0, digits = 0, yearDigits = 0;
    iso = false;
    if (in.number(first, 4, firstDigits)) {
        const char separator = in.peek();
        if (separator == '-' || separator == '/') {
            in.take(separator);
            if (firstDigits >= 3) { // yyyy-mm-dd
                if (in.number(second, 2, digits) && in.take(separator) && in.number(third, 2, digits) &&
                    setDate(out, first, second, third)) {
                    iso = true;
                    return true;
                }
            } else if (in.number(second, 2, digits)) { // m/d/yyyy
                if (in.take(separator) && in.number(third, 4, yearDigits) &&
                    setDate(out, windowedYear(third, yearDigits), first, second))
                    return true;
            } else if (const unsigned month = monthFromName(in.word()); month != 0) { // d-mmm-yyyy
                if (in.take(separator) && in.number(third, 4, yearDigits) &&
                    setDate(out, windowedYear(third, yearDigits), month, first))
                    return true;
            }
        } else if (firstDigits <= 2 && in.skipBlanks()) { // d mmm yyyy
            if (const unsigned month = monthFromName(in.word()); month != 0 && in.skipBlanks() &&
                                                                 in.number(third, 4, yearDigits) &&
                                                                 setDate(out, windowedYear(third, yearDigits), month, first))
                return true;
        }
    } else if (const unsigned month = monthFromName(in.word()); month != 0) { // mmm d[,] yyyy
        in.skipBlanks();
        if (in.number(second, 2, digits)) {
            in.take(',');
            if (in.skipBlanks() && in.number(third, 4, yearDigits) &&
                setDate(out, windowedYear(third, yearDigits), month, second))
                return true;
        }
    }
    in.reset(start);
    return false;
}

bool parseTime(Scanner& in, ParsedDateTime& out) {
    const std::size_t start = in.position();
    int64_t hour = 0, minute = 0, second = 0;
    std::size_t digits = 0;
    bool ok = in.number(hour, 2, digits);
    const bool withMinutes = ok && in.take(':');
    if (withMinutes) {
        ok = in.number(minute, 2, digits);
        if (ok && in.take(':')) {
            ok = in.number(second, 2, digits);
            if (ok && in.take('.')) {
                int64_t fraction = 0;
                ok = in.number(fraction, 7, digits);
                for (std::size_t i = digits; i < 7; ++i)
                    fraction *= 10;
                out.hundredNanoseconds = static_cast<int32_t>(fraction);
            }
        }
    }
    if (ok) {
        const std::size_t beforeMarker = in.position();
        in.skipBlanks();
        const std::string marker = in.word();
        if (marker == "am" || marker == "pm") {
            if (hour < 1 || hour > 12)
                ok = false;
            else
                hour = hour % 12 + (marker == "pm" ? 12 : 0);
        } else if (!marker.empty() || !withMinutes) {
            ok = false; // a bare hour is a time only with AM or PM
        } else {
            in.reset(beforeMarker);
        }
    }
    if (!ok || hour > 23 || minute > 59 || second > 59) {
        in.reset(start);
        return false;
    }
    out.hour = static_cast<unsigned>(hour);
    out.minute = static_cast<unsigned>(minute);
    out.second = static_cast<unsigned>(second);
    return true;
}

} // namespace

std::optional<ParsedDateTime> parseDateTimeText(std::string_view text) {
    Scanner in(text);
    ParsedDateTime out;
    in.skipBlanks();
    bool iso = false;
    if (parseDate(in, out, iso)) {
        const bool blanks = in.skipBlanks();
        if (!blanks && iso && (in.peek() == 'T' || in.peek() == 't'))
            in.take(in.peek());
        else if (!blanks && !in.atEnd())
            return std::nullopt;
        if (!in.atEnd() && !parseTime(in, out))
            return std::nullopt;
    } else if (!parseTime(in, out)) {
        return std::nullopt;
    }
    in.skipBlanks();
    if (!in.atEnd())
        return std::nullopt;
    return out;
}

int64_t daysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

DateTime toDateTime(const ParsedDateTime& parsed) {
    const auto days = static_cast<double>(daysFromCivil(parsed.year, parsed.month, parsed.day) -
                                          daysFromCivil(1899, 12, 30));
    const double seconds = parsed.hour * 3600.0 + parsed.minute * 60.0 + parsed.second +
                           parsed.hundredNanoseconds / 1e7;
    const double fraction = seconds / 86400.0;
    return DateTime{days < 0 ? days - fraction : days + fraction};
}

ExtendedDateTime toExtendedDateTime(const ParsedDateTime& parsed) {
    ExtendedDateTime out;
    out.daysSinceYearOne = daysFromCivil(parsed.year, parsed.month, parsed.day) - daysFromCivil(1, 1, 1);
    out.secondsOfDay = parsed.hour * 3600 + parsed.minute * 60 + parsed.second;
    out.hundredNanoseconds = parsed.hundredNanoseconds;
    return out;
}

std::string formatUsDateTime(DateTime value) {
    CivilDateTime civil;
    if (!toCivil(value, civil))
        return {};
    const bool hasDate = std::trunc(value.days) != 0;
    const bool hasTime = civil.hour != 0 || civil.minute != 0 || civil.second != 0;
    std::string out;
    if (hasDate || !hasTime)
        out = std::to_string(civil.month) + "/" + std::to_string(civil.day) + "/" + std::to_string(civil.year);
    if (hasTime) {
        char buffer[32];
        const unsigned hour12 = civil.hour % 12 == 0 ? 12 : civil.hour % 12;
        std::snprintf(buffer, sizeof buffer, "%u:%02u:%02u %s", hour12, civil.minute, civil.second,
                      civil.hour < 12 ? "AM" : "PM");
        if (!out.empty())
            out += ' ';
        out += buffer;
    }
    return out;
}

} // namespace storage
