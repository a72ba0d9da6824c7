// tarnwick-cli check: the full consistency check of a database.

#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/database_path.h"
#include "database/storage/check/check_file.h"

#include <cstdio>

namespace cli {

int runCheck(const Arguments& arguments) {
    if (arguments.positional.size() != 1) {
        writeText(stderr, QStringLiteral("usage: tarnwick-cli check DATABASE [--password PW | --password-file FILE]"));
        return 2;
    }
    const QString password = arguments.value("--password").value_or(QString());
    if (const std::optional<int> refused =
            refuseUnusableDatabasePath(database::DatabaseFields(arguments.positional[0], password)))
        return *refused;
    storage::OpenOptions options;
    options.password = password.toStdString();
    const auto checked = storage::check::checkDatabaseFile(arguments.positional[0].toStdString(), options);
    if (!checked) {
        writeText(stderr, QString::fromStdString(checked.error().description));
        return 1;
    }
    const storage::check::CheckReport& report = *checked;
    for (const storage::check::Finding& finding : report.findings)
        writeText(stdout, QString::fromStdString(storage::check::describe(finding)));
    const std::size_t faults = report.faults().size();
    writeText(stdout, QStringLiteral("%1 faults, %2 warnings, %3 leaked pages.")
                          .arg(faults)
                          .arg(report.warnings().size())
                          .arg(report.leakedPages.size()));
    return faults == 0 ? 0 : 1;
}

} // namespace cli
