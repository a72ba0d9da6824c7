#include "cli/commands.h"
#include "cli/console_ui.h"
#include "cli/password.h"
#include "database/storage/file/posix_file.h"
#include "import/application_identity.h"
#include "import/local_file_names.h"
#include "import/process_signals.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr const char* kHelp =
    "Tarnwick: delimited text files into Access databases.\n"
    "\n"
    "  tarnwick-cli tables DATABASE [PASSWORD]\n"
    "      the user tables, one per line, in catalogue order\n"
    "  tarnwick-cli dump DATABASE TABLE [PASSWORD]\n"
    "      the table's rows as CSV (RFC 4180) with a header line\n"
    "  tarnwick-cli import DATABASE [PASSWORD] [--separator TEXT] [--text-qualifier CHAR] [--encoding NAME]\n"
    "      (--create TEMPLATE [--columns-from-prompt NAME,NAME,...] | --append TABLE [--skip-header]) FILE...\n"
    "      imports the files in the order given; the separator defaults to \", \" and {TAB} stands for a tab;\n"
    "      --append finds the table ignoring letter case; --columns-from-prompt needs a name for every\n"
    "      field of each file's first line; ends with a summary on standard error. Files are read as the\n"
    "      window reads them (Windows-1252, lines end at line feeds, every separator cuts, double quotes\n"
    "      are dropped) unless these say otherwise:\n"
    "      --text-qualifier '\"'  a field that begins with \" runs to its closing \" (\"\" inside is one \");\n"
    "                            separators and line breaks inside belong to the value, quotes are kept\n"
    "      --encoding NAME       windows-1252 (default), utf-8, utf-16, another code page by name, or auto\n"
    "                            (a byte-order mark decides, else UTF-8 if valid, else Windows-1252)\n"
    "  tarnwick-cli check DATABASE [PASSWORD]\n"
    "      the full consistency check; stale row counts are warnings; exits with 1 when it finds faults\n"
    "  tarnwick-cli new-database PATH [--format jet4|ace12|ace14|ace16|ace17] [--password PW | --password-file FILE]\n"
    "             [--encode]\n"
    "      an empty database; the format follows the extension (.mdb jet4, .accdb ace16) unless given;\n"
    "      with a password an .accdb is encrypted (agile AES-256); --encode RC4-encodes an .mdb's pages\n"
    "\n"
    "PASSWORD is --password PW or --password-file FILE (its first line). Without either, the\n"
    "environment variable TARNWICK_PASSWORD is used; without that, the password is asked for\n"
    "(not shown) when the database needs one and standard input is a terminal.\n"
    "\n"
    "Exit status: 0 done; 1 failed (the message says why); 2 the command line is wrong;\n"
    "3 an import passed over a file (a table already listed, a column count that differs).\n";

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

    // The words as bytes, so that a file named in any encoding is opened by its own name.
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << importer::decodeLocalFileName(QByteArray(argv[i]));
    QString error;
    const cli::Arguments given =
        cli::parseArguments(words,
                            {"--password", "--password-file", "--separator", "--create", "--append",
                             "--columns-from-prompt", "--format", "--text-qualifier", "--encoding"},
                            &error);
    if (!error.isEmpty()) {
        cli::writeText(stderr, error);
        return 2;
    }
    const cli::PasswordResult password = cli::withPassword(given);
    if (password.failure != 0)
        return password.failure;
    const cli::Arguments& arguments = password.arguments;
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
