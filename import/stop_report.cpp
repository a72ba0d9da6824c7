#include "import/stop_report.h"

namespace importer {

namespace {

QString rowCount(long long rows) {
    return rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows);
}

} // namespace

void RowTally::startFile(const QString& path, const QString& table) {
    m_files.push_back({path, table, 0});
}

void RowTally::countRow() {
    if (!m_files.empty())
        ++m_files.back().rows;
}

QString RowTally::stoppedMessage() const {
    if (m_files.empty())
        return QStringLiteral("The import was stopped before any row was imported.");
    const FileRows& last = m_files.back();
    QString text = QStringLiteral("The import was stopped. %1 of \"%2\" %3 in table \"%4\".")
                       .arg(rowCount(last.rows), last.path,
                            last.rows == 1 ? QStringLiteral("is") : QStringLiteral("are"), last.table);
    if (m_files.size() > 1) {
        text += QStringLiteral("\r\n\r\nThe files before it were imported whole:");
        for (std::size_t i = 0; i + 1 < m_files.size(); ++i)
            text += QStringLiteral("\r\n%1 of \"%2\" in table \"%3\"")
                        .arg(rowCount(m_files[i].rows), m_files[i].path, m_files[i].table);
    }
    return text;
}

} // namespace importer
