#include "cli/console_ui.h"

#include "cli/import_summary.h"

#include <unistd.h>

namespace cli {

using Clock = std::chrono::steady_clock;

ConsoleUi::ConsoleUi(QStringList columnNames)
    : m_columnNames(std::move(columnNames)), m_showProgress(isatty(STDERR_FILENO) == 1), m_started(Clock::now()) {}

ConsoleUi::~ConsoleUi() {
    endProgressLine();
}

void writeText(std::FILE* stream, const QString& text) {
    QString lines = text;
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QChar('\r'), QChar('\n'));
    const QByteArray bytes = lines.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

void ConsoleUi::messageBox(const QString& text, importer::MessageIcon, const QString& title) {
    endProgressLine();
    const bool success = text == QLatin1String("Done.");
    writeText(success ? stdout : stderr, title.isEmpty() ? text : title + QStringLiteral(": ") + text);
}

QString ConsoleUi::inputBox(const QString& prompt, const QString&, const QString&) {
    const qsizetype mark = prompt.lastIndexOf(QChar('#'));
    if (mark < 0)
        return QString();
    QString number = prompt.mid(mark + 1);
    number.chop(1); // the colon
    bool isNumber = false;
    const int column = number.toInt(&isNumber);
    return isNumber ? m_columnNames.value(column - 1) : QString();
}

void ConsoleUi::progress(const importer::ImportProgress& progress) {
    if (!m_showProgress)
        return;
    const Clock::time_point now = Clock::now();
    if (m_progressShown && now - m_lastDrawn < std::chrono::milliseconds(250))
        return;
    m_lastDrawn = now;
    m_progressShown = true;
    const double seconds = std::chrono::duration<double>(now - m_started).count();
    const double rate = seconds > 0 ? static_cast<double>(progress.rowsExecuted) / seconds : 0;
    std::fprintf(stderr, "\rfile %d of %d, %lld rows, %.0f rows/s   ", progress.file, progress.fileCount,
                 progress.rowsExecuted, rate);
    std::fflush(stderr);
}

void ConsoleUi::writeSummary(const QStringList& paths, double seconds) {
    endProgressLine();
    writeText(stderr, importSummary(paths, m_reports, seconds));
}

void ConsoleUi::endProgressLine() {
    if (!m_progressShown)
        return;
    std::fputc('\n', stderr);
    m_progressShown = false;
}

} // namespace cli
