// Our rows against mdb-export, an independent reader.
//
// mdb-export runs with ISO dates (-D/-T "%Y-%m-%d %H:%M:%S") and binary as hex
// (-b hex). Cells are then compared after these normalisations:
//   - numbers (integers, Currency, Single, Double, Decimal) compare as numbers: mdbtools
//     prints Single with fewer digits and Currency/Decimal with trailing zeros;
//   - mdbtools prints dates outside its calendar range (before 1900, year 9999) as the
//     impossible "1900-01-00 ...", so such cells are not compared (DatesOutsideTheUsualRange
//     checks them instead);
//   - mdbtools cannot decode calculated columns and Date/Time Extended columns: skipped;
//   - mdbtools writes each UTF-16 unit of a character outside the BMP as '?': our text
//     is converted the same way;
//   - hex digits compare ignoring case;
//   - rows compare as multisets: mdbtools returns overflow rows at the place the row
//     was moved to, we at the row's own slot (checked separately below).

#include "storage_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace storage {
namespace {

using Cells = std::vector<std::string>;

// Parses CSV with "" quoting and quoted newlines.
std::vector<Cells> parseCsv(const std::string& text) {
    std::vector<Cells> rows;
    Cells row;
    std::string cell;
    bool inQuotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inQuotes) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cell += '"';
                ++i;
            } else if (c == '"') {
                inQuotes = false;
            } else {
                cell += c;
            }
        } else if (c == '"') {
            inQuotes = true;
        } else if (c == ',') {
            row.push_back(cell);
            cell.clear();
        } else if (c == '\n') {
            row.push_back(cell);
            rows.push_back(row);
            row.clear();
            cell.clear();
        } else {
            cell += c;
        }
    }
    if (!cell.empty() || !row.empty()) {
        row.push_back(cell);
        rows.push_back(row);
    }
    return rows;
}

std::string replaceAstral(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xF8) == 0xF0 && i + 3 < text.size()) {
            out += "??";
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool isNumeric(Value::Kind kind) {
    switch (kind) {
    case Value::Kind::Byte:
    case Value::Kind::Integer:
    case Value::Kind::Long:
    case Value::Kind::BigInt:
    case Value::Kind::Currency:
    case Value::Kind::Single:
    case Value::Kind::Double:
    case Value::Kind::Decimal:
    case Value::Kind::Complex: return true;
    default: return false;
    }
}

// Our value as a cell in mdb-export's terms; "\x01" marks a cell not to compare.
const std::string kSkip = "\x01";

std::string ourCell(const ColumnDefinition& column, const Value& value) {
    if (column.isCalculated() || column.type() == ColumnType::ExtendedDateTime)
        return kSkip;
    if (value.isNull())
        return {};
    if (value.kind() == Value::Kind::Text)
        return replaceAstral(*value.get<std::string>());
    return formatValue(value);
}

bool sameCell(const std::string& ours, const std::string& theirs, Value::Kind kind) {
    if (ours == kSkip || (kind == Value::Kind::DateTime && theirs.rfind("1900-01-00", 0) == 0))
        return true;
    if (isNumeric(kind) && !ours.empty() && !theirs.empty()) {
        const double a = std::strtod(ours.c_str(), nullptr);
        const double b = std::strtod(theirs.c_str(), nullptr);
        return std::fabs(a - b) <= 1e-6 * std::max({1.0, std::fabs(a), std::fabs(b)});
    }
    if (kind == Value::Kind::Binary || kind == Value::Kind::Unsupported) {
        std::string upper = theirs;
        std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
        return ours == upper;
    }
    return ours == theirs;
}

struct OurRow {
    Cells cells;
    std::vector<Value::Kind> kinds;
};

TEST(MdbtoolsComparison, EveryTableDumpsLikeMdbExport) {
    SKIP_WITHOUT_FIXTURES();
    if (!test::haveMdbtools())
        GTEST_SKIP() << "mdbtools not installed";
    std::vector<std::string> paths;
    for (const char* folder : {"jet4", "ace12", "ace14", "ace16", "ace17"})
        for (const auto& file : std::filesystem::directory_iterator(test::fixturesDir() / folder))
            paths.push_back(file.path().string());
    paths.push_back(test::fixture("encrypted/db-enc.mdb"));

    int tablesCompared = 0;
    for (const std::string& path : paths) {
        auto db = Database::open(path, {});
        ASSERT_TRUE(db) << path << ": " << db.error().description;
        auto tables = (*db)->userTables();
        ASSERT_TRUE(tables);
        for (const std::string& table : *tables) {
            SCOPED_TRACE(path + " / " + table);
            std::string output;
            ASSERT_TRUE(test::runCommand("mdb-export -D '%Y-%m-%d %H:%M:%S' -T '%Y-%m-%d %H:%M:%S' -b hex " +
                                             test::shellQuote(path) + " " + test::shellQuote(table) + " 2>/dev/null",
                                         output));
            std::vector<Cells> theirs = parseCsv(output);
            ASSERT_FALSE(theirs.empty());
            const Cells header = theirs.front();
            theirs.erase(theirs.begin());

            auto cursor = (*db)->openTable(table);
            ASSERT_TRUE(cursor) << cursor.error().description;
            Cells ourHeader;
            for (const auto& column : cursor->columns())
                ourHeader.push_back(column.name);
            EXPECT_EQ(ourHeader, header);

            std::vector<OurRow> ours;
            Row row;
            while (cursor->next(row)) {
                OurRow ourRow;
                for (std::size_t i = 0; i < row.size(); ++i) {
                    ourRow.cells.push_back(ourCell(cursor->columns()[i], row[i]));
                    ourRow.kinds.push_back(row[i].kind());
                }
                ours.push_back(std::move(ourRow));
            }
            ASSERT_TRUE(cursor->status()) << cursor->status().error().description;
            ASSERT_EQ(ours.size(), theirs.size());

            // Numbers print differently on each side, so rows cannot be sorted as text:
            // every row of ours must find an unused equal row of theirs.
            std::vector<bool> used(theirs.size(), false);
            for (const OurRow& ourRow : ours) {
                bool found = false;
                for (std::size_t t = 0; t < theirs.size() && !found; ++t) {
                    if (used[t] || theirs[t].size() != ourRow.cells.size())
                        continue;
                    bool same = true;
                    for (std::size_t c = 0; c < ourRow.cells.size() && same; ++c)
                        same = sameCell(ourRow.cells[c], theirs[t][c], ourRow.kinds[c]);
                    if (same)
                        used[t] = found = true;
                }
                std::string shown;
                for (const auto& cell : ourRow.cells)
                    shown += (cell == kSkip ? "<skipped>" : cell) + "|";
                EXPECT_TRUE(found) << "no matching mdb-export row for " << shown;
            }
            ++tablesCompared;
        }
    }
    EXPECT_GE(tablesCompared, 40);
}

// Rows 3 and 5 of overflowTestV2000.mdb were moved to other places; read through
// their slots they keep their own position.
TEST(MdbtoolsComparison, OverflowRowsKeepTheirPosition) {
    SKIP_WITHOUT_FIXTURES();
    auto db = Database::open(test::fixture("jet4/overflowTestV2000.mdb"), {});
    ASSERT_TRUE(db);
    auto cursor = (*db)->openTable("Table1");
    ASSERT_TRUE(cursor);
    std::vector<std::string> markers;
    Row row;
    while (cursor->next(row)) {
        std::string marker;
        for (const Value& value : row)
            if (const auto* text = value.get<std::string>()) {
                marker = text->substr(0, 4);
                break;
            }
        markers.push_back(marker);
    }
    ASSERT_TRUE(cursor->status());
    EXPECT_EQ(markers, (std::vector<std::string>{"row1", "row2", "row3", "row4", "row5", "row6", "row7"}));
}

// Dates mdbtools cannot print: the file holds years 632 to 9999 (its README).
TEST(MdbtoolsComparison, DatesOutsideTheUsualRange) {
    SKIP_WITHOUT_FIXTURES();
    auto db = Database::open(test::fixture("jet4/DateTestDatabase.mdb"), {});
    ASSERT_TRUE(db);
    auto cursor = (*db)->openTable("DateTest");
    ASSERT_TRUE(cursor);
    std::vector<std::string> firstColumn;
    Row row;
    while (cursor->next(row))
        firstColumn.push_back(formatValue(row[1]));
    ASSERT_TRUE(cursor->status());
    EXPECT_EQ(firstColumn, (std::vector<std::string>{"2021-12-02 00:00:00", "9999-01-01 00:00:00",
                                                     "1898-01-01 00:00:00", "0632-01-01 00:00:00",
                                                     "2021-12-02 00:00:00", "2021-12-02 00:00:00"}));
}

} // namespace
} // namespace storage
