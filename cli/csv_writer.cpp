#include "cli/csv_writer.h"

#include <string_view>

namespace cli {

std::string csvRecord(const std::vector<std::optional<std::string>>& fields) {
    std::string record;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record += ',';
        if (!fields[i])
            continue;
        const std::string& field = *fields[i];
        // A NUL, which no plain CSV field may hold, is quoted as well.
        if (field.find_first_of(std::string_view(",\"\r\n\0", 5)) == std::string::npos) {
            record += field;
            continue;
        }
        record += '"';
        for (const char c : field) {
            if (c == '"')
                record += '"';
            record += c;
        }
        record += '"';
    }
    record += "\r\n";
    return record;
}

} // namespace cli
