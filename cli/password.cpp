#include "cli/password.h"

#include "cli/console_ui.h"
#include "database/storage/database.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <termios.h>
#include <unistd.h>

namespace cli {

namespace {

const QString kPassword = QStringLiteral("--password");
const QString kPasswordFile = QStringLiteral("--password-file");

// The first line of the file, without its line end.
std::optional<QString> firstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray line = file.readLine();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

// Whether the database asks for a password it was not given: only then is it worth a prompt.
bool refusesWithoutPassword(const QString& path) {
    storage::OpenOptions options;
    options.readOnly = true;
    auto database = storage::Database::open(QFile::encodeName(path).toStdString(), options);
    return !database && database.error().kind == storage::ErrorKind::BadPassword;
}

// Reads a line from the terminal on standard input with its echo turned off.
QString promptWithoutEcho(const QString& databasePath) {
    termios saved{};
    const bool haveTerminal = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveTerminal) {
        termios silent = saved;
        silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &silent);
    }
    // Asked only once the echo is off, so that not even a quick answer is shown.
    std::fprintf(stderr, "Password for %s: ", QFile::encodeName(databasePath).constData());
    std::fflush(stderr);
    QByteArray line;
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar())
        line.append(static_cast<char>(c));
    if (haveTerminal)
        ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    std::fputc('\n', stderr); // the Enter that was not echoed
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

} // namespace

PasswordResult withPassword(Arguments arguments) {
    const bool newDatabase = arguments.command == QLatin1String("new-database");
    if (arguments.has(kPasswordFile)) {
        if (arguments.has(kPassword)) {
            writeText(stderr, QStringLiteral("Give either --password or --password-file, not both."));
            return {std::move(arguments), 2};
        }
        const QString path = arguments.value(kPasswordFile).value_or(QString());
        const std::optional<QString> password = firstLine(path);
        if (!password) {
            writeText(stderr, QStringLiteral("Could not read the password file '%1'.").arg(path));
            return {std::move(arguments), 1};
        }
        arguments.values[kPassword] = *password;
        return {std::move(arguments), 0};
    }
    if (arguments.has(kPassword) || newDatabase)
        return {std::move(arguments), 0};
    if (const char* fromEnvironment = std::getenv("TARNWICK_PASSWORD")) {
        arguments.values[kPassword] = QString::fromLocal8Bit(fromEnvironment);
        return {std::move(arguments), 0};
    }
    if (!arguments.positional.isEmpty() && ::isatty(STDIN_FILENO) == 1 &&
        refusesWithoutPassword(arguments.positional[0]))
        arguments.values[kPassword] = promptWithoutEcho(arguments.positional[0]);
    return {std::move(arguments), 0};
}

} // namespace cli
