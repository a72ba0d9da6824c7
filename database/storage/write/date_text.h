#pragma once

#include "database/storage/table/value.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace storage {

// A date and/or time read from text, before it is turned into a column value.
struct ParsedDateTime {
    bool hasDate = false;
    int64_t year = 1899;
    unsigned month = 12, day = 30; // a time alone falls on day 0, 1899-12-30, as in Access
    unsigned hour = 0, minute = 0, second = 0;
    int32_t hundredNanoseconds = 0; // fraction of the second, 0 to 9 999 999
};

// Reads a date, a time, or a date followed by a time. Jet reads dates in the
// machine's regional settings; this engine always reads them as English
// (United States) would, so that an import gives the same rows everywhere:
//   dates   yyyy-mm-dd, yyyy/mm/dd            ISO order, year of 3-4 digits first
//           m/d/yyyy, m-d-yyyy, m/d/yy        US order: month first
//           d mmm yyyy, d-mmm-yyyy, mmm d yyyy, mmm d, yyyy
//                                             English month names, full or 3 letters
//   times   h:mm, h:mm:ss, h:mm:ss.fffffff    24-hour clock
//           the same or "h" followed by AM/PM 12-hour clock
//   between a date and a time: blanks, or "T" after an ISO date.
// Two-digit years follow the OLE Automation window: 00-29 are 2000-2029,
// 30-99 are 1930-1999. A date without a year is refused (Jet would take the
// current year, which would make an import depend on the day it runs).
// Nullopt when the text is none of these or names no real day or time.
std::optional<ParsedDateTime> parseDateTimeText(std::string_view text);

// Days from 1970-01-01 to the given proleptic Gregorian day (negative before).
int64_t daysFromCivil(int64_t year, unsigned month, unsigned day);

// The Date/Time value: days since 1899-12-30, the time of day as a fraction
// that keeps its meaning before the epoch (1899-12-29 06:00 is -1.25).
DateTime toDateTime(const ParsedDateTime& parsed);
ExtendedDateTime toExtendedDateTime(const ParsedDateTime& parsed);

// A Date/Time value as text in the fixed English (United States) form:
// "3/15/2024 12:00:00 PM"; the date alone at midnight, the time alone on day 0.
std::string formatUsDateTime(DateTime value);

} // namespace storage
