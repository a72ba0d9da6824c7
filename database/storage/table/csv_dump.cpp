#include "database/storage/table/csv_dump.h"

namespace storage {

namespace {

void writeQuoted(std::ostream& out, const std::string& text) {
    out << '"';
    for (char c : text) {
        if (c == '"')
            out << '"';
        out << c;
    }
    out << '"';
}

} // namespace

Status writeCsv(TableCursor& cursor, std::ostream& out) {
    const auto& columns = cursor.columns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            out << ',';
        out << columns[i].name;
    }
    out << '\n';
    Row row;
    while (cursor.next(row)) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i > 0)
                out << ',';
            const Value& value = row[i];
            if (value.isNull())
                continue;
            if (isQuotedInCsv(value.kind()))
                writeQuoted(out, formatValue(value));
            else
                out << formatValue(value);
        }
        out << '\n';
    }
    return cursor.status();
}

} // namespace storage
