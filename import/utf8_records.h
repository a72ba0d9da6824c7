#pragma once

#include "import/row_statement_builder.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace importer {

// A file's records in UTF-8, for reading rules other than the literal ones. Without a text
// qualifier the records are the lines of the literal rules and their fields are cut as
// those rules cut them (double quotes are left out of the statements). With one, a field
// that begins with the qualifier runs to the matching closing qualifier, where a doubled
// qualifier stands for one and separators and line breaks are part of the value; a record
// then ends at the first line feed outside such a field, and values keep every character
// they hold. Carriage returns outside qualified fields are dropped, as the literal rules
// drop them.
class Utf8Records {
public:
    // The line (counted from 1) where a qualified field begins that the text never closes.
    struct Unclosed {
        qsizetype line = 0;
    };

    Utf8Records(QByteArray text, const QString& separator, std::optional<QChar> qualifier,
                std::optional<Unclosed>* unclosed);

    qsizetype size() const { return static_cast<qsizetype>(m_starts.size()); }
    bool isEmpty() const { return m_starts.empty(); }
    // Nothing but carriage returns.
    bool recordIsEmpty(qsizetype index) const;
    // The 0-based line where record `index` begins.
    qsizetype lineOf(qsizetype index) const { return m_lines.empty() ? index : m_lines[std::size_t(index)]; }

    QStringList fields(qsizetype index) const;
    // The row statement of record `index`, with the builder's table prefix and value count.
    void buildRow(RowStatementBuilder& statement, const QString& table, qsizetype index, std::string& out) const;

private:
    std::string_view record(qsizetype index) const;
    void cutLines();
    bool cutQualified(std::optional<Unclosed>* unclosed);
    bool separatorAt(const char* at, const char* end) const;
    bool qualifierAt(const char* at, const char* end) const;
    template <typename Value> void readFields(std::string_view record, Value& value) const;

    QByteArray m_text;
    std::string m_separator; // in UTF-8
    std::string m_qualifier; // in UTF-8; empty without one
    std::vector<qsizetype> m_starts;
    std::vector<qsizetype> m_lines; // the line of each record; empty while each begins on the line of its index
};

} // namespace importer
