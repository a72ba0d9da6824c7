#pragma once

#include "database/storage/sql/statement.h"
#include "database/storage/status.h"
#include "database/storage/table/table_definition.h"
#include "database/storage/table/value.h"

#include <string_view>

namespace storage {

// Converts one literal of INSERT ... VALUES into the value its column stores,
// as Jet coerces it. Text and dates are read in the fixed English (United
// States) form of parseDateTimeText and parseDecimalNumber, never the
// machine's locale.
//
// Text literal into
//   Text        as given; more UTF-16 code units than the column holds: 3163
//   Memo        as given; OLE Object and Binary: the text's UTF-16LE bytes (Binary: 3163 past its length)
//   Byte, Integer, Long, BigInt, Currency, Decimal
//               a number rounded half to even (banker's rounding, as the OLE
//               Automation conversions do) to the column's decimals; no number: 3464;
//               out of range: 3349; more digits than a Decimal's precision: 3761
//   Single, Double   the nearest value; 3464; 3349
//   Date/Time, Date/Time Extended   a date and/or time of parseDateTimeText; 3464
//   Yes/No      True/False, Yes/No, On/Off in any case, or a number (0 is No); 3464
//   GUID        {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}, braces optional; 3464
// The empty text '' is a type mismatch (3464) for every type but Text, Memo,
// OLE Object and Binary: Jet coerces '' to no number, date or GUID, and the
// engine does not turn it into Null behind the caller's back.
//
// Other literals: NULL gives Null for every type (whether the column accepts
// it is checked later). A number literal converts as the same text would,
// except into Text/Memo, where it is stored as Jet prints the number (up to
// 15 significant digits, "1E+20"), and into Date/Time, where it is the day
// count. TRUE and FALSE are Jet's numbers -1 and 0 ("-1"/"0" as text; -1 does
// not fit a Byte), except into Yes/No. A #date# literal gives a Date/Time;
// into Text it is written "3/15/2024 12:00:00 PM", into numbers it is the day count.
//
// Calculated, complex and unknown columns are refused (NotSupported).
Result<Value> convertLiteral(const sql::Literal& literal, const ColumnDefinition& column);

// convertLiteral's commonest case in one step: a text literal into a Text column that
// holds it, written straight into `out`. False, with `out` untouched, for anything else,
// which then needs convertLiteral (and its errors).
bool convertTextIntoText(const sql::Literal& literal, const ColumnDefinition& column, Value& out);

// The text-literal conversion alone.
Result<Value> convertText(std::string_view text, const ColumnDefinition& column);

} // namespace storage
