#include "import/import_run.h"

#include "database/dataaccess/connection.h"
#include "database/dataaccess/recordset.h"
#include "import/failure_report.h"
#include "import/naming.h"
#include "import/row_statement_builder.h"
#include "import/statements.h"
#include "import/text_lines.h"
#include "import/text_rules.h"

#include <limits>

namespace importer {

namespace {

// A failure raised by a step of the run; it ends the run through the failure path.
struct RunFailure {
    QString description;
};

void check(const dataaccess::Status& status) {
    if (!status)
        throw RunFailure{QString::fromStdString(status.description())};
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

bool containsIgnoringCase(const QStringList& names, const QString& name) {
    const QString lowered = name.toLower();
    for (const QString& existing : names)
        if (existing.toLower() == lowered)
            return true;
    return false;
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
    m_skippedFiles = 0;
    return run();
}

ImportOutcome ImportRun::run() {
    ImportOptions& options = m_env.options;
    UserInterface& ui = m_env.ui;

    dataaccess::Connection connection(m_env.providers);
    dataaccess::Recordset recordset;
    bool outcome = false;
    std::string rowText;       // the last row statement, for the failure report
    QStringList createdTables; // in the order they were defined

    // Every table this run defined goes to the top of the table list, the last one first.
    auto listCreatedTables = [&] {
        for (const QString& table : createdTables)
            m_env.tables.insertItem(0, table);
        createdTables.clear();
    };
    auto endFile = [&] {
        recordset.Close();
        connection.Close();
        ui.setMousePointer(pointer::kDefault);
    };

    try {
        if (m_env.files.count() == 0) {
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

        const int fileCount = m_env.files.count();
        long long rowsExecuted = 0;
        for (int position = 1; position <= fileCount; ++position) {
            outcome = true;
            ui.setMousePointer(pointer::kBusy);
            if (connection.State() != dataaccess::objectstate::kClosed)
                connection.Close();
            check(connection.setMode(dataaccess::connectmode::kReadWrite));
            check(connection.Open(utf8(m_env.connectionString())));

            const std::optional<QString> path = m_env.files.text(position);
            if (!path)
                throw RunFailure{QStringLiteral("The file list has no entry %1 any more.").arg(position)};
            std::optional<ReadFailure> readFailure;
            const TextLines lines = TextLines::read(*path, &readFailure);
            if (readFailure)
                throw RunFailure{readFailure->description};
            if (lines.isEmpty())
                throw RunFailure{QStringLiteral("The file '%1' is empty.").arg(*path)};
            const QStringList firstFields = SplitFields(lines.line(0), separator);
            if (firstFields.size() - 1 > std::numeric_limits<qint16>::max())
                throw RunFailure{QStringLiteral("Overflow: the first line of '%1' has more than %2 fields.")
                                     .arg(*path)
                                     .arg(int(std::numeric_limits<qint16>::max()) + 1)};
            const int lastFieldIndex = static_cast<int>(firstFields.size()) - 1;
            const int lastLineIndex = static_cast<int>(lines.size()) - 1;

            // Row statements for lines startLine.. of this file; the table name is read anew for each.
            auto importRows = [&](int startLine, const std::function<QString()>& tableName) {
                if (lastLineIndex <= 0)
                    return;
                RowStatementBuilder statement(separator, lastFieldIndex);
                for (int j = startLine; j <= lastLineIndex; ++j) {
                    if (lines.lineIsEmpty(j))
                        continue;
                    const QString table = tableName();
                    for (int k = 0; k <= lastFieldIndex; ++k)
                        ui.processEvents();
                    const std::optional<std::string_view> bytes = lines.plainBytes(j);
                    if (!bytes || !statement.build(table, *bytes, *lines.byteTable(), rowText))
                        statement.build(table, lines.line(j), rowText);
                    check(connection.Execute(rowText));
                    ++rowsExecuted;
                    ui.progress({position, fileCount, j, lastLineIndex + 1, rowsExecuted});
                }
            };

            if (options.Option1()) {
                const QString tableName = ResolveTableName(options.Text2(), position);
                if (IsInListBox(m_env.tables, tableName)) {
                    outcome = false;
                    ++m_skippedFiles;
                    endFile();
                    continue;
                }
                if (options.Text2().isEmpty()) {
                    ++m_skippedFiles;
                    endFile();
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
                        createdTables << tableName;
                        startLine = 1;
                    }
                } else if (options.Option4()) {
                    if (defines) {
                        const ColumnAnswers answers = AskColumnNames(static_cast<int>(firstFields.size()), ui);
                        if (answers.lastEmpty()) {
                            endFile();
                            listCreatedTables();
                            return ImportOutcome::Cancelled;
                        }
                        QStringList columns;
                        for (const QString& answer : answers.answers)
                            columns << AlphaNumOnly(answer);
                        if (!answers.answers.isEmpty()) {
                            check(connection.Execute(utf8(tableDefinition(tableName, columns))));
                            createdTables << tableName;
                        }
                    }
                } else {
                    endFile();
                    continue;
                }
                // The template is read for every row; it is resolved again only when it changed.
                QString lastTemplate = options.Text2();
                QString lastName = ResolveTableName(lastTemplate, position);
                importRows(startLine, [&] {
                    if (QString current = options.Text2(); current != lastTemplate) {
                        lastName = ResolveTableName(current, position);
                        lastTemplate = std::move(current);
                    }
                    return lastName;
                });
            } else if (options.Option2()) {
                const QString target = m_env.tables.selectedText();
                check(recordset.Open(utf8(columnCountQuery(target)), connection, dataaccess::cursortype::kStatic,
                                     dataaccess::locktype::kUnspecified));
                if (recordset.FieldsCount() != firstFields.size()) {
                    ui.messageBox(columnMismatchMessage(*path, separator, static_cast<int>(firstFields.size()), target,
                                                        recordset.FieldsCount()));
                    ++m_skippedFiles;
                    endFile();
                    continue;
                }
                importRows(options.Check2() == 0 ? 0 : 1, [&] { return m_env.tables.selectedText(); });
            }
            endFile();
        }

        listCreatedTables();
        ui.messageBox(outcome ? QStringLiteral("Done.") : QStringLiteral("Table(s) already exist."));
        return outcome ? ImportOutcome::Done : ImportOutcome::TablesExisted;
    } catch (const RunFailure& failure) {
        // Tables defined before the failure exist in the database: list them too.
        listCreatedTables();
        recordset.Close();
        connection.Close();
        ui.setMousePointer(pointer::kDefault);
        reportImportFailure(ui, failure.description, QString::fromStdString(rowText), m_env.logPath);
        return ImportOutcome::Failed;
    }
}

} // namespace importer
