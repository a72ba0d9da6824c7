// tarnwick-cli import: the import run of the window, driven from flags.

#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/database_path.h"
#include "cli/reading_options.h"
#include "database/access_connection_string.h"
#include "database/table_catalogue.h"
#include "import/ansi_code_page.h"
#include "import/failure_report.h"
#include "import/import_run.h"
#include "import/in_memory_lists.h"
#include "import/text_rules.h"

#include <QFile>

#include <chrono>

namespace cli {

namespace {

// The options as the window's controls would hold them after the same choices.
class FlagOptions : public importer::ImportOptions {
public:
    FlagOptions(const QString& separator, bool create, bool prompted, const QString& tableTemplate, bool skipHeader)
        : m_separator(separator), m_create(create), m_prompted(prompted), m_template(tableTemplate),
          m_skipHeader(skipHeader) {}

    bool Option1() const override { return m_create; }
    bool Option2() const override { return !m_create; }
    bool Option3() const override { return !m_prompted; }
    bool Option4() const override { return m_prompted; }
    bool Option5() const override { return m_separator == QLatin1String(", "); }
    bool Option6() const override { return m_separator == QLatin1String(","); }
    bool Option7() const override { return !Option5() && !Option6(); }
    int Check2() const override { return m_skipHeader ? 1 : 0; }
    QString Text2() const override { return m_template; }
    QString Text3() const override { return Option7() ? m_separator : QStringLiteral(":"); }

private:
    QString m_separator;
    bool m_create;
    bool m_prompted;
    QString m_template;
    bool m_skipHeader;
};

constexpr const char* kUsage =
    "usage: tarnwick-cli import DATABASE [--password PW | --password-file FILE] [--separator TEXT]\n"
    "         [--text-qualifier CHAR] [--encoding NAME]\n"
    "         (--create TEMPLATE [--columns-from-prompt NAME,NAME,...] | --append TABLE [--skip-header]) FILE...";

// The exit status of a run that ended without a failure but passed over a file.
constexpr int kFileSkipped = 3;

// The number of fields of a file's first line as the run splits it; nullopt when the
// file cannot be read (the run reports that itself).
std::optional<int> firstLineFieldCount(const QString& path, const QString& separator) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QString line = importer::AnsiCodePage::decode(file.readLine());
    if (line.endsWith(QChar('\n')))
        line.chop(1);
    line.remove(QChar('\r'));
    return static_cast<int>(importer::SplitFields(line, separator).size());
}

// Every table the run defines from a prompt gets one name per field of its file's first
// line: fewer names than that would end the run half-way, so it does not start.
bool enoughColumnNames(const QStringList& names, const QStringList& files, const QString& separator) {
    for (const QString& path : files) {
        const std::optional<int> fields = firstLineFieldCount(path, separator);
        if (fields && *fields > names.size()) {
            writeText(stderr, QStringLiteral("--columns-from-prompt names %1 columns, but the first line of '%2' has "
                                             "%3 fields: give a name for every field. Nothing was imported.")
                                  .arg(names.size())
                                  .arg(path)
                                  .arg(*fields));
            return false;
        }
    }
    return true;
}

// The table as Access finds it: by its name, ignoring letter case.
int indexOfTable(const QStringList& tables, const QString& name) {
    const qsizetype exact = tables.indexOf(name);
    if (exact >= 0)
        return static_cast<int>(exact);
    for (qsizetype i = 0; i < tables.size(); ++i)
        if (tables[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

} // namespace

int runImport(const Arguments& arguments) {
    const bool create = arguments.has("--create");
    if (arguments.positional.size() < 2 || create == arguments.has("--append")) {
        writeText(stderr, QString::fromLatin1(kUsage));
        return 2;
    }
    QString refusal;
    const std::optional<importer::ReadingRules> reading = readingRulesFrom(arguments, &refusal);
    if (!reading) {
        writeText(stderr, refusal);
        return 2;
    }
    const std::optional<QString> prompted = arguments.value("--columns-from-prompt");
    FlagOptions options(arguments.value("--separator").value_or(QStringLiteral(", ")), create, prompted.has_value(),
                        arguments.value("--create").value_or(QString()), arguments.has("--skip-header"));
    const QStringList filePaths = arguments.positional.mid(1);
    const QStringList columnNames = prompted ? prompted->split(QChar(',')) : QStringList();
    if (create && prompted && !enoughColumnNames(columnNames, filePaths, importer::SeparatorFromOptions(options)))
        return 2;

    const database::DatabaseFields location(arguments.positional[0], arguments.value("--password").value_or(QString()));
    if (const std::optional<int> refused = refuseUnusableDatabasePath(location))
        return *refused;
    ConsoleUi ui(columnNames);

    // The table list is filled as the database window's "Next >" fills it: the catalogue
    // read once as the test that the database opens, then again into the list.
    if (!database::NonSystemTables(location.path(), location, ui))
        return 1;
    importer::InMemoryTableList tableList;
    database::AddTablesToAccessListbox(tableList, location.path(), location.password(), location, ui);
    if (const std::optional<QString> target = arguments.value("--append"))
        tableList.setSelectedIndex(indexOfTable(tableList.items(), *target));

    importer::InMemoryFileList files(filePaths);
    importer::ImportRun run(importer::ImportEnvironment{
        options, files, tableList, ui, [&] { return database::AccessConnectionString(location); },
        dataaccess::ProviderRegistry::standard(), importer::defaultImportLogPath(), *reading});
    const auto started = std::chrono::steady_clock::now();
    const importer::ImportOutcome outcome = run.start();
    ui.writeSummary(files.paths(), std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    if (outcome != importer::ImportOutcome::Done && outcome != importer::ImportOutcome::TablesExisted)
        return 1;
    return run.skippedFiles() == 0 ? 0 : kFileSkipped;
}

} // namespace cli
