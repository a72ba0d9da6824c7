#include "cli/arguments.h"

namespace cli {

std::optional<QString> Arguments::value(const QString& flag) const {
    const auto found = values.find(flag);
    if (found == values.end())
        return std::nullopt;
    return found->second;
}

Arguments parseArguments(const QStringList& words, const QStringList& valueFlags, QString* error) {
    Arguments arguments;
    bool flagsEnded = false;
    for (int i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (!flagsEnded && word == QLatin1String("--")) {
            flagsEnded = true;
        } else if (!flagsEnded && word.startsWith(QLatin1String("--"))) {
            if (!valueFlags.contains(word)) {
                arguments.switches << word;
            } else if (i + 1 < words.size()) {
                arguments.values[word] = words[++i];
            } else if (error) {
                *error = QStringLiteral("%1 needs a value").arg(word);
            }
        } else if (arguments.command.isEmpty()) {
            arguments.command = word;
        } else {
            arguments.positional << word;
        }
    }
    return arguments;
}

} // namespace cli
