#include "cli/reading_options.h"

#include "import/text_decoding.h"

namespace cli {

std::optional<importer::ReadingRules> readingRulesFrom(const Arguments& arguments, QString* refusal) {
    importer::ReadingRules rules;
    if (const std::optional<QString> qualifier = arguments.value("--text-qualifier")) {
        QString separator = arguments.value("--separator").value_or(QStringLiteral(", "));
        if (separator == QLatin1String("{TAB}"))
            separator = QStringLiteral("\t");
        if (qualifier->size() != 1 || qualifier->front() == u'\n' || qualifier->front() == u'\r') {
            *refusal =
                QStringLiteral("The text qualifier \"%1\" is not one character: use, for example, --text-qualifier "
                               "'\"'.")
                    .arg(*qualifier);
            return std::nullopt;
        }
        if (separator.contains(qualifier->front())) {
            *refusal =
                QStringLiteral("The text qualifier \"%1\" is part of the separator \"%2\".").arg(*qualifier, separator);
            return std::nullopt;
        }
        rules.textQualifier = qualifier->front();
    }
    if (const std::optional<QString> encoding = arguments.value("--encoding")) {
        const QByteArray name = encoding->toLatin1();
        if (!importer::isKnownEncoding(name) || QString::fromLatin1(name) != *encoding) {
            *refusal = QStringLiteral("Unknown encoding \"%1\": use auto, windows-1252, utf-8, utf-16 or the name of "
                                      "another code page (such as windows-1251 or Shift_JIS).")
                           .arg(*encoding);
            return std::nullopt;
        }
        // Windows-1252 is the ANSI code page the literal rules read.
        if (name.compare("windows-1252", Qt::CaseInsensitive) != 0)
            rules.encoding = name;
    }
    return rules;
}

} // namespace cli
