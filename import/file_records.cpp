#include "import/file_records.h"

#include "import/text_decoding.h"

#include <QFile>

namespace importer {

FileRecords FileRecords::read(const QString& path, const ReadingRules& rules, const QString& separator,
                              std::optional<ReadFailure>* failure) {
    FileRecords records;
    records.m_separator = separator;
    if (rules.literal()) {
        records.m_lines = TextLines::read(path, failure);
        return records;
    }
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        const QString reason = file.exists() ? file.errorString() : QStringLiteral("File not found");
        if (failure)
            *failure = ReadFailure{QStringLiteral("Could not read the file '%1': %2").arg(path, reason)};
        return records;
    }
    file.close();
    std::optional<Utf8Records::Unclosed> unclosed;
    records.m_records.emplace(textAsUtf8(std::move(bytes), rules.encoding), separator, rules.textQualifier, &unclosed);
    if (unclosed && failure)
        *failure = ReadFailure{
            QStringLiteral(
                "The file '%1' ends inside a quoted field that begins on line %2: its closing %3 is missing.")
                .arg(path)
                .arg(unclosed->line)
                .arg(*rules.textQualifier)};
    return records;
}

bool FileRecords::lineIsEmpty(qsizetype index) const {
    return m_records ? m_records->recordIsEmpty(index) : m_lines.lineIsEmpty(index);
}

QStringList FileRecords::fields(qsizetype index) const {
    return m_records ? m_records->fields(index) : SplitFields(m_lines.line(index), m_separator);
}

void FileRecords::buildRow(RowStatementBuilder& statement, const QString& table, qsizetype index,
                           std::string& out) const {
    if (m_records) {
        m_records->buildRow(statement, table, index, out);
        return;
    }
    const std::optional<std::string_view> bytes = m_lines.plainBytes(index);
    if (!bytes || !statement.build(table, *bytes, *m_lines.byteTable(), out))
        statement.build(table, m_lines.line(index), out);
}

} // namespace importer
