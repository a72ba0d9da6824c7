#include "import/import_run.h"

#include "database/dataaccess/connection.h"
#include "database/dataaccess/recordset.h"
#include "import/failure_report.h"
#include "import/file_records.h"
#include "import/import_snapshot.h"
#include "import/naming.h"
#include "import/row_statement_builder.h"
#include "import/statements.h"
#include "import/stop_report.h"
#include "import/text_rules.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <vector>

namespace importer {

namespace {

// A failure raised by a step of the run; it ends the run through the failure path.
struct RunFailure {
    QString description;
};

// The user asked the run to stop; it ends before its next statement.
struct RunStopped {};

void check(const dataaccess::Status& status) {
    if (!status)
        throw RunFailure{QString::fromStdString(status.description())};
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

QString outOfMemory(const QString& path) {
    if (path.isEmpty())
        return QStringLiteral("Out of memory.");
    return QStringLiteral("Out of memory. The file '%1' is too large to be read into the memory this computer has "
                          "left.")
        .arg(path);
}

// Which rows of the file the database holds after a failure: the first `kept` statements
// of those executed for it, whose lines are `lines` (0-based; -1 for a table definition).
QString keptRowsText(const QString& path, const std::vector<int>& lines, std::uint64_t kept) {
    int lastRow = -1;
    for (std::size_t i = 0; i < kept && i < lines.size(); ++i)
        lastRow = std::max(lastRow, lines[i]);
    if (lastRow < 0)
        return QStringLiteral("No row of '%1' was imported.").arg(path);
    return QStringLiteral("The rows of '%1' up to line %2 are in the database; no later line of it was imported.")
        .arg(path)
        .arg(lastRow + 1);
}

long long keptRowCount(const std::vector<int>& lines, std::uint64_t kept) {
    const auto end = lines.begin() + static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(kept, lines.size()));
    return std::count_if(lines.begin(), end, [](int line) { return line >= 0; });
}

bool containsIgnoringCase(const QStringList& names, const QString& name) {
    const QString lowered = name.toLower();
    for (const QString& existing : names)
        if (existing.toLower() == lowered)
            return true;
    return false;
}

// Reads a file whole; one too large for the memory left is a failure of the run, not the end of the program.
FileRecords readWhole(const QString& path, const ReadingRules& rules, const QString& separator,
                      std::optional<ReadFailure>* failure) {
    try {
        return FileRecords::read(path, rules, separator, failure);
    } catch (const std::bad_alloc&) {
        throw RunFailure{outOfMemory(path)};
    }
}

// Reset flag for the re-entry guard, also when the run leaves through an exception.
class RunningFlag {
public:
    explicit RunningFlag(bool& flag) : m_flag(flag) { m_flag = true; }
    ~RunningFlag() { m_flag = false; }

private:
    bool& m_flag;
};

} // namespace

ImportOutcome ImportRun::start() {
    if (m_running)
        return ImportOutcome::AlreadyRunning;
    RunningFlag running(m_running);
    m_stopRequested = false;
    m_skippedFiles = 0;
    return run();
}

ImportOutcome ImportRun::run() {
    // The run works from the window's inputs as they are now; later changes do not reach it.
    const OptionSnapshot options(m_env.options);
    const InMemoryFileList files = snapshotOf(m_env.files);
    const QString selectedTable = m_env.tables.selectedText();
    RowTally tally; // the rows executed, by file, for a stopped run's message
    UserInterface& ui = m_env.ui;

    dataaccess::Connection connection(m_env.providers);
    dataaccess::Recordset recordset;
    bool outcome = false;
    std::string rowText;       // the last row statement, for the failure report
    QStringList createdTables; // in the order they were defined
    QString description;       // of the failure that ended the run

    // Every table this run defined goes to the top of the table list, the last one first.
    auto listCreatedTables = [&] {
        for (const QString& table : createdTables)
            m_env.tables.insertItem(0, table);
        createdTables.clear();
    };
    // The file being imported, and the line of each statement executed for it since its
    // connection opened (-1 for a table definition): what a failed commit kept is told by line.
    QString currentPath;
    int currentPosition = 0;
    std::vector<int> statementLines;
    auto recordStatement = [&](int line) { statementLines.push_back(line); };

    // Closing commits the file's statements; a failure there is a failure of the run.
    // `notImported` says why a file gave no rows, for the run's summary.
    auto endFile = [&](const QString& notImported = QString()) {
        recordset.Close();
        check(connection.Close());
        ui.fileDone({currentPosition, currentPath, keptRowCount(statementLines, statementLines.size()), notImported});
        statementLines.clear();
        currentPath.clear();
        ui.setMousePointer(pointer::kDefault);
    };

    try {
        if (files.count() == 0) {
            ui.messageBox(QStringLiteral("No files added."));
            return ImportOutcome::Refused;
        }
        const QString separator = SeparatorFromOptions(options);
        if (options.Option2() && m_env.tables.selectedIndex() == -1) {
            ui.messageBox(QStringLiteral("Please select a table."));
            return ImportOutcome::Refused;
        }
        if (options.Option1() && IsInListBox(m_env.tables, options.Text2())) {
            ui.messageBox(QStringLiteral("Table name already exists."));
            return ImportOutcome::Refused;
        }

        const int fileCount = files.count();
        long long rowsExecuted = 0;
        for (int position = 1; position <= fileCount; ++position) {
            outcome = true;
            ui.setMousePointer(pointer::kBusy);
            if (connection.State() != dataaccess::objectstate::kClosed)
                check(connection.Close());
            check(connection.setMode(dataaccess::connectmode::kReadWrite));
            check(connection.Open(utf8(m_env.connectionString())));

            const std::optional<QString> path = files.text(position);
            if (!path)
                throw RunFailure{QStringLiteral("The file list has no entry %1 any more.").arg(position)};
            currentPath = *path;
            currentPosition = position;
            std::optional<ReadFailure> readFailure;
            const FileRecords lines = readWhole(*path, m_env.reading, separator, &readFailure);
            if (readFailure)
                throw RunFailure{readFailure->description};
            if (lines.isEmpty())
                throw RunFailure{QStringLiteral("The file '%1' is empty.").arg(*path)};
            const QStringList firstFields = lines.fields(0);
            if (firstFields.size() - 1 > std::numeric_limits<qint16>::max())
                throw RunFailure{QStringLiteral("Overflow: the first line of '%1' has more than %2 fields.")
                                     .arg(*path)
                                     .arg(int(std::numeric_limits<qint16>::max()) + 1)};
            const int lastFieldIndex = static_cast<int>(firstFields.size()) - 1;
            const int lastLineIndex = static_cast<int>(lines.size()) - 1;

            // Row statements for lines startLine.. of this file into `table`.
            auto importRows = [&](int startLine, const QString& table) {
                tally.startFile(*path, table);
                if (lastLineIndex <= 0)
                    return;
                RowStatementBuilder statement(separator, lastFieldIndex);
                for (int j = startLine; j <= lastLineIndex; ++j) {
                    if (lines.lineIsEmpty(j))
                        continue;
                    for (int k = 0; k <= lastFieldIndex; ++k)
                        ui.processEvents();
                    if (m_stopRequested)
                        throw RunStopped{};
                    lines.buildRow(statement, table, j, rowText);
                    check(connection.Execute(rowText));
                    recordStatement(static_cast<int>(lines.lineOf(j)));
                    ++rowsExecuted;
                    tally.countRow();
                    ui.progress({position, fileCount, j, lastLineIndex + 1, rowsExecuted});
                }
                ui.progress({position, fileCount, lastLineIndex, lastLineIndex + 1, rowsExecuted}); // the file's end
            };

            if (options.Option1()) {
                const QString tableName = ResolveTableName(options.Text2(), position);
                if (IsInListBox(m_env.tables, tableName)) {
                    outcome = false;
                    ++m_skippedFiles;
                    endFile(QStringLiteral("skipped: a table named \"%1\" already exists").arg(tableName));
                    continue;
                }
                if (options.Text2().isEmpty()) {
                    ++m_skippedFiles;
                    endFile(QStringLiteral("skipped: the table name is empty"));
                    continue;
                }
                // A name this run has not defined yet gets its table from this file's
                // first line; later files under a defined name add all their lines.
                const bool defines = !containsIgnoringCase(createdTables, tableName);
                int startLine = 0;
                if (options.Option3()) {
                    if (defines) {
                        QStringList columns;
                        for (const QString& field : firstFields) {
                            ui.processEvents();
                            if (!field.isEmpty())
                                columns << AlphaNumOnly(field);
                        }
                        check(connection.Execute(utf8(tableDefinition(tableName, columns))));
                        recordStatement(-1);
                        createdTables << tableName;
                        startLine = 1;
                    }
                } else if (options.Option4()) {
                    if (defines) {
                        const ColumnAnswers answers = AskColumnNames(static_cast<int>(firstFields.size()), ui);
                        if (answers.lastEmpty()) {
                            endFile(QStringLiteral("cancelled: a column name was not given"));
                            listCreatedTables();
                            return ImportOutcome::Cancelled;
                        }
                        QStringList columns;
                        for (const QString& answer : answers.answers)
                            columns << AlphaNumOnly(answer);
                        if (!answers.answers.isEmpty()) {
                            check(connection.Execute(utf8(tableDefinition(tableName, columns))));
                            recordStatement(-1);
                            createdTables << tableName;
                        }
                    }
                } else {
                    endFile(QStringLiteral("skipped: no source of column names is chosen"));
                    continue;
                }
                importRows(startLine, tableName);
            } else if (options.Option2()) {
                const QString& target = selectedTable;
                check(recordset.Open(utf8(columnCountQuery(target)), connection, dataaccess::cursortype::kStatic,
                                     dataaccess::locktype::kUnspecified));
                if (recordset.FieldsCount() != firstFields.size()) {
                    ui.messageBox(columnMismatchMessage(*path, separator, static_cast<int>(firstFields.size()), target,
                                                        recordset.FieldsCount()));
                    ++m_skippedFiles;
                    endFile(QStringLiteral("skipped: %1 fields, but the table \"%2\" has %3 columns")
                                .arg(firstFields.size())
                                .arg(target)
                                .arg(recordset.FieldsCount()));
                    continue;
                }
                importRows(options.Check2() == 0 ? 0 : 1, target);
            }
            endFile();
        }

        listCreatedTables();
        ui.messageBox(outcome ? QStringLiteral("Done.") : QStringLiteral("Table(s) already exist."));
        return outcome ? ImportOutcome::Done : ImportOutcome::TablesExisted;
    } catch (const RunStopped&) {
        // Closing the connection commits the rows executed so far; a commit that fails
        // takes the failure path below, which tells what was kept.
        recordset.Close();
        if (dataaccess::Status closed = connection.Close(); !closed) {
            description = QString::fromStdString(closed.description());
        } else {
            if (!currentPath.isEmpty())
                ui.fileDone({currentPosition, currentPath, keptRowCount(statementLines, statementLines.size()),
                             QStringLiteral("stopped")});
            listCreatedTables();
            ui.setMousePointer(pointer::kDefault);
            ui.messageBox(tally.stoppedMessage());
            return ImportOutcome::Stopped;
        }
    } catch (const RunFailure& failure) {
        description = failure.description;
    } catch (const std::bad_alloc&) {
        description = outOfMemory(currentPath);
    }

    // The failure path: what the file's statements left in the database is committed and told.
    const QString failureReason = description.section(QStringLiteral("\r\n"), 0, 0);
    recordset.Close();
    if (dataaccess::Status closed = connection.Close(); !closed)
        description += QStringLiteral("\r\n\r\n") + QString::fromStdString(closed.description());
    // A commit that failed, in a statement or in the close, dropped its whole batch.
    const std::uint64_t kept = connection.DurableStatements();
    if (!currentPath.isEmpty()) {
        description += QStringLiteral("\r\n\r\n") + keptRowsText(currentPath, statementLines, kept);
        ui.fileDone({currentPosition, currentPath, keptRowCount(statementLines, kept),
                     QStringLiteral("failed: ") + failureReason});
    }
    // A table definition that did not stay is not in the database.
    if (!statementLines.empty() && statementLines.front() == -1 && kept == 0 && !createdTables.isEmpty())
        createdTables.removeLast();
    // Tables defined before the failure exist in the database: list them too.
    listCreatedTables();
    ui.setMousePointer(pointer::kDefault);
    reportImportFailure(ui, description, QString::fromStdString(rowText), m_env.logPath);
    return ImportOutcome::Failed;
}

} // namespace importer
