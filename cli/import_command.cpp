// tarnwick-cli import: the import run of the window, driven from flags.

#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/reading_options.h"
#include "database/access_connection_string.h"
#include "database/table_catalogue.h"
#include "import/failure_report.h"
#include "import/import_run.h"
#include "import/in_memory_lists.h"

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
    "usage: tarnwick-cli import DATABASE [--password PW] [--separator TEXT] [--text-qualifier CHAR] [--encoding NAME]\n"
    "         (--create TEMPLATE [--columns-from-prompt NAME,NAME,...] | --append TABLE [--skip-header]) FILE...";

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

    const database::DatabaseFields location(arguments.positional[0],
                                            arguments.value("--password").value_or(QString()));
    ConsoleUi ui(prompted ? prompted->split(QChar(',')) : QStringList());

    // The table list is filled as the database window's "Next >" fills it: the catalogue
    // read once as the test that the database opens, then again into the list.
    if (!database::NonSystemTables(location.path(), location, ui))
        return 1;
    importer::InMemoryTableList tableList;
    database::AddTablesToAccessListbox(tableList, location.path(), location.password(), location, ui);
    if (const std::optional<QString> target = arguments.value("--append"))
        tableList.setSelectedIndex(static_cast<int>(tableList.items().indexOf(*target)));

    importer::InMemoryFileList files(arguments.positional.mid(1));
    importer::ImportRun run(importer::ImportEnvironment{
        options, files, tableList, ui, [&] { return database::AccessConnectionString(location); },
        dataaccess::ProviderRegistry::standard(), importer::defaultImportLogPath(), *reading});
    const auto started = std::chrono::steady_clock::now();
    const importer::ImportOutcome outcome = run.start();
    ui.writeSummary(files.paths(), std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    return outcome == importer::ImportOutcome::Done ? 0 : 1;
}

} // namespace cli
