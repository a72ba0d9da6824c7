#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

// One CSV record (RFC 4180): fields joined by commas and ended by CR LF; a field
// holding a comma, a quote, CR, LF or NUL is enclosed in quotes with its quotes doubled.
// A Null field is written empty.
std::string csvRecord(const std::vector<std::optional<std::string>>& fields);

} // namespace cli
