// tarnwick-cli check: the full consistency check of a database.

#include "cli/commands.h"
#include "cli/console_ui.h"
#include "database/storage/check/database_check.h"
#include "database/storage/engine/database_session.h"

#include <cstdio>

namespace cli {

int runCheck(const Arguments& arguments) {
    if (arguments.positional.size() != 1) {
        writeText(stderr, QStringLiteral("usage: tarnwick-cli check DATABASE [--password PW]"));
        return 2;
    }
    storage::OpenOptions options;
    options.password = arguments.value("--password").value_or(QString()).toStdString();
    // Opened as a writer would open it, so that a journal left by a crash is put back
    // first: the check looks at the database as the next reader will see it.
    auto session = storage::DatabaseSession::open(arguments.positional[0].toStdString(), options,
                                                  storage::DatabaseSession::Access::ReadWriteIfAllowed);
    if (!session) {
        writeText(stderr, QString::fromStdString(session.error().description));
        return 1;
    }
    const storage::check::CheckReport report = storage::check::checkDatabase((*session)->database());
    for (const storage::check::Finding& finding : report.findings)
        writeText(stdout, QString::fromStdString(storage::check::describe(finding)));
    const std::size_t faults = report.faults().size();
    writeText(stdout, QStringLiteral("%1 faults, %2 leaked pages.").arg(faults).arg(report.leakedPages.size()));
    return faults == 0 ? 0 : 1;
}

} // namespace cli
