#pragma once

#include <QString>
#include <QStringList>

#include <map>
#include <optional>

namespace cli {

// A command line split into its command, positional arguments and --flags.
struct Arguments {
    QString command;
    QStringList positional;
    std::map<QString, QString> values; // --flag VALUE
    QStringList switches;              // --flag without a value

    std::optional<QString> value(const QString& flag) const;
    bool has(const QString& flag) const { return switches.contains(flag) || values.count(flag) > 0; }
};

// Flags that take a value; every other --flag is a switch.
Arguments parseArguments(const QStringList& words, const QStringList& valueFlags, QString* error);

} // namespace cli
