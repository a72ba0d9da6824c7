#include "database/storage/sql/reserved_words.h"

#include <algorithm>
#include <array>
#include <string>

namespace storage::sql {

std::string upperAscii(std::string_view word) {
    std::string result(word);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

namespace {

// Sorted, for binary search.
constexpr std::array<std::string_view, 113> kReserved = {
    "ADD",       "ALL",        "ALPHANUMERIC", "ALTER",      "AND",         "ANY",       "AS",        "ASC",
    "AUTOINCREMENT", "AVG",    "BETWEEN",   "BINARY",     "BIT",         "BOOLEAN",   "BY",        "BYTE",
    "CHAR",      "CHARACTER",  "COLUMN",    "CONSTRAINT", "COUNT",       "COUNTER",   "CREATE",    "CURRENCY",
    "DATABASE",  "DATE",       "DATETIME",  "DELETE",     "DESC",        "DISALLOW",  "DISTINCT",  "DISTINCTROW",
    "DOUBLE",    "DROP",       "EXISTS",    "FALSE",      "FLOAT",       "FLOAT4",    "FLOAT8",    "FOREIGN",
    "FROM",      "GENERAL",    "GROUP",     "GUID",       "HAVING",      "IEEEDOUBLE", "IEEESINGLE", "IN",
    "INDEX",     "INNER",      "INSERT",    "INT",        "INTEGER",     "INTEGER1",  "INTEGER2",  "INTEGER4",
    "INTO",      "IS",         "JOIN",      "KEY",        "LEFT",        "LEVEL",     "LIKE",      "LOGICAL",
    "LOGICAL1",  "LONG",       "LONGBINARY", "LONGTEXT",  "MAX",         "MEMO",      "MIN",       "MONEY",
    "NOT",       "NOTE",       "NULL",      "NUMBER",     "NUMERIC",     "OLEOBJECT", "ON",        "OR",
    "ORDER",     "OUTER",      "PARAMETERS", "PERCENT",   "PIVOT",       "PRIMARY",   "PROCEDURE", "REAL",
    "REFERENCES", "RIGHT",     "SELECT",    "SET",        "SHORT",       "SINGLE",    "SMALLINT",  "SOME",
    "STRING",    "TABLE",      "TEXT",      "TIME",       "TIMESTAMP",   "TOP",       "TRANSFORM", "TRUE",
    "UNION",     "UNIQUE",     "UPDATE",    "VALUE",      "VALUES",      "VARBINARY", "VARCHAR",   "WHERE",
    "WITH",
};

constexpr std::array<std::string_view, 62> kTypeNames = {
    "ALPHANUMERIC", "AUTOINCREMENT", "BINARY", "BIT", "BOOLEAN", "BYTE", "CHAR", "CHARACTER",
    "CHARACTER VARYING", "COUNTER", "CURRENCY", "DATE", "DATETIME", "DEC", "DECIMAL", "DOUBLE",
    "FLOAT", "FLOAT4", "FLOAT8", "GENERAL", "GUID", "IDENTITY", "IEEEDOUBLE", "IEEESINGLE",
    "IMAGE", "INT", "INTEGER", "INTEGER1", "INTEGER2", "INTEGER4", "LOGICAL", "LOGICAL1",
    "LONG", "LONGBINARY", "LONGCHAR", "LONGTEXT", "MEMO", "MONEY", "NATIONAL CHAR", "NATIONAL CHAR VARYING",
    "NATIONAL CHARACTER", "NATIONAL CHARACTER VARYING", "NCHAR", "NOTE", "NTEXT", "NUMBER", "NUMERIC", "NVARCHAR",
    "OLEOBJECT", "REAL", "SHORT", "SINGLE", "SMALLINT", "STRING", "TEXT", "TIME",
    "TINYINT", "UNIQUEIDENTIFIER", "VARBINARY", "VARCHAR", "YESNO", "BIGINT",
};

} // namespace

bool isReservedWord(std::string_view word) {
    return std::binary_search(kReserved.begin(), kReserved.end(), upperAscii(word));
}

bool isKnownTypeName(std::string_view upperName) {
    return std::find(kTypeNames.begin(), kTypeNames.end(), upperName) != kTypeNames.end();
}

} // namespace storage::sql
