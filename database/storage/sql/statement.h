#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace storage::sql {

// One column of CREATE TABLE: its name, the type name as written (upper-cased) and
// the optional size in parentheses.
struct ColumnSpec {
    std::string name;
    std::string typeName;
    std::optional<long long> size;
    bool notNull = false;
    bool withCompression = false;
};

struct CreateTable {
    std::string table;
    std::vector<ColumnSpec> columns;
};

// A literal of VALUES (...).
struct Literal {
    enum class Kind { String, Number, Null, Boolean, Date };
    Kind kind = Kind::String;
    std::string text; // the string's characters, the number's or the date's text
    bool boolean = false;
    bool operator==(const Literal&) const = default;
};

struct Insert {
    std::string table;
    std::vector<std::string> fields; // empty: every column in column order
    std::vector<Literal> values;
    bool operator==(const Insert&) const = default;
};

struct SelectAll {
    std::string table;
};

using Statement = std::variant<CreateTable, Insert, SelectAll>;

} // namespace storage::sql
