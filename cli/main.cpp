#include "cli/commands.h"
#include "cli/console_ui.h"
#include "database/storage/file/posix_file.h"
#include "import/application_identity.h"
#include "import/process_signals.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kHelp =
    "Tarnwick: delimited text files into Access databases.\n"
    "\n"
    "  tarnwick-cli tables DATABASE [--password PW]\n"
    "      the user tables, one per line, in catalogue order\n"
    "  tarnwick-cli dump DATABASE TABLE [--password PW]\n"
    "      the table's rows as CSV (RFC 4180) with a header line\n"
    "  tarnwick-cli import DATABASE [--password PW] [--separator TEXT]\n"
    "      (--create TEMPLATE [--columns-from-prompt NAME,NAME,...] | --append TABLE [--skip-header]) FILE...\n"
    "      imports the files in the order given; the separator defaults to \", \" and {TAB} stands for a tab\n"
    "  tarnwick-cli check DATABASE [--password PW]\n"
    "      the full consistency check; exits with 1 when it finds faults\n"
    "  tarnwick-cli new-database PATH [--format jet4|ace12|ace14|ace16|ace17] [--password PW]\n"
    "      an empty database; the format follows the extension (.mdb jet4, .accdb ace16) unless given;\n"
    "      a password only for jet4\n";

// For the import benchmark: with TARNWICK_BYTES_WRITTEN set, the bytes the import wrote
// to the database and its journal go to standard error.
int withBytesWritten(int exitCode) {
    if (std::getenv("TARNWICK_BYTES_WRITTEN"))
        std::fprintf(stderr, "bytes written: %llu\n",
                     static_cast<unsigned long long>(storage::PosixFile::bytesWritten()));
    return exitCode;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    importer::applyApplicationIdentity();
    importer::ignoreFileSizeSignal();

    QStringList words = QCoreApplication::arguments();
    words.removeFirst();
    QString error;
    const cli::Arguments arguments = cli::parseArguments(
        words, {"--password", "--separator", "--create", "--append", "--columns-from-prompt", "--format"}, &error);
    if (!error.isEmpty()) {
        cli::writeText(stderr, error);
        return 2;
    }
    if (arguments.command == QLatin1String("tables"))
        return cli::runTables(arguments);
    if (arguments.command == QLatin1String("dump"))
        return cli::runDump(arguments);
    if (arguments.command == QLatin1String("import"))
        return withBytesWritten(cli::runImport(arguments));
    if (arguments.command == QLatin1String("new-database"))
        return cli::runNewDatabase(arguments);
    if (arguments.command == QLatin1String("check"))
        return cli::runCheck(arguments);
    const bool asked =
        arguments.command.isEmpty() || arguments.command == QLatin1String("help") || arguments.has("--help");
    std::fputs(kHelp, asked ? stdout : stderr);
    return asked ? 0 : 2;
}
