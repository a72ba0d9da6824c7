#pragma once

#include "import/reading_rules.h"
#include "import/row_statement_builder.h"
#include "import/text_lines.h"
#include "import/text_rules.h"
#include "import/utf8_records.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace importer {

// The records of one file as the run reads them: the lines of the literal rules, kept as
// the file's bytes, or the records of other reading rules, kept as UTF-8.
class FileRecords {
public:
    // Empty, with `failure` set, when the file cannot be read (or, with a text qualifier,
    // when it ends inside a qualified field).
    static FileRecords read(const QString& path, const ReadingRules& rules, const QString& separator,
                            std::optional<ReadFailure>* failure);

    qsizetype size() const { return m_records ? m_records->size() : m_lines.size(); }
    bool isEmpty() const { return size() == 0; }
    bool lineIsEmpty(qsizetype index) const;
    // The 0-based line of the file where record `index` begins.
    qsizetype lineOf(qsizetype index) const { return m_records ? m_records->lineOf(index) : index; }
    QStringList fields(qsizetype index) const;
    void buildRow(RowStatementBuilder& statement, const QString& table, qsizetype index, std::string& out) const;

private:
    QString m_separator;
    TextLines m_lines;
    std::optional<Utf8Records> m_records;
};

} // namespace importer
