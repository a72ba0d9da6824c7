// tarnwick-cli new-database: an empty database, built by the storage engine.

#include "cli/commands.h"
#include "cli/console_ui.h"
#include "database/storage/create/new_database.h"

#include <QFile>

namespace cli {

namespace {

constexpr const char* kUsage = "usage: tarnwick-cli new-database PATH [--format jet4|ace12|ace14|ace16|ace17] "
                               "[--password PW | --password-file FILE] [--encode]";

} // namespace

int runNewDatabase(const Arguments& arguments) {
    if (arguments.positional.size() != 1) {
        writeText(stderr, QString::fromLatin1(kUsage));
        return 2;
    }
    const std::string path = QFile::encodeName(arguments.positional[0]).toStdString();
    storage::NewDatabaseOptions options;
    if (const std::optional<QString> name = arguments.value("--format")) {
        const auto format = storage::fileFormatFromName(name->toStdString());
        if (!format) {
            writeText(stderr,
                      QStringLiteral("Unknown format \"%1\": use jet4, ace12, ace14, ace16 or ace17.").arg(*name));
            return 2;
        }
        options.format = *format;
    } else if (const auto format = storage::defaultFormatForPath(path)) {
        options.format = *format;
    } else {
        writeText(stderr,
                  QStringLiteral("The file name ends in neither .mdb nor .accdb: name the format with --format."));
        return 2;
    }
    options.password = arguments.value("--password").value_or(QString()).toStdString();
    options.encode = arguments.has("--encode");
    if (storage::Status status = storage::createDatabase(path, options); !status) {
        writeText(stderr, QString::fromStdString(status.error().description));
        return 1;
    }
    return 0;
}

} // namespace cli
