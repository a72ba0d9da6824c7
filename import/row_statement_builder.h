#pragma once

#include <QString>
#include <QStringView>

#include <string>

namespace importer {

// The row statement of one line in UTF-8, as the engine takes it: the same text that
// rowStatement gives for the line's fields, with every double quote removed, made in
// one pass into a buffer that serves row after row.
class RowStatementBuilder {
public:
    RowStatementBuilder(QString separator, int lastFieldIndex);

    // "INSERT INTO `table` VALUES('a','b');" for `line`, into `out`.
    void build(const QString& table, QStringView line, std::string& out);

private:
    void appendUtf8(QStringView text, bool value, std::string& out);
    void appendQuotedValue(QStringView field, std::string& out);

    QString m_separator;
    int m_lastFieldIndex;
    QString m_table;        // the table of the prefix below
    std::string m_prefix;   // "INSERT INTO `table` VALUES("
};

} // namespace importer
