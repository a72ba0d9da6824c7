#include "cli/import_summary.h"

namespace cli {

namespace {

QString rowsText(long long rows) {
    return rows == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(rows);
}

} // namespace

QString importSummary(const QStringList& paths, const std::vector<importer::FileReport>& reports, double seconds) {
    QString text = QStringLiteral("Summary:");
    long long total = 0;
    for (int position = 1; position <= paths.size(); ++position) {
        QString outcome = QStringLiteral("not read: the run ended before it");
        for (const importer::FileReport& report : reports) {
            if (report.file != position)
                continue;
            outcome = rowsText(report.rows);
            if (!report.notImported.isEmpty())
                outcome =
                    report.rows > 0 ? outcome + QStringLiteral(", then ") + report.notImported : report.notImported;
            total += report.rows;
        }
        text += QStringLiteral("\n  %1: %2").arg(paths[position - 1], outcome);
    }
    const double rate = seconds > 0 ? static_cast<double>(total) / seconds : 0;
    text += QStringLiteral("\n%1 in %2 s, %3 rows/s").arg(rowsText(total)).arg(seconds, 0, 'f', 2).arg(rate, 0, 'f', 0);
    return text;
}

} // namespace cli
