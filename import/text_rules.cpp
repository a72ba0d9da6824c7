#include "import/text_rules.h"

#include "import/text_lines.h"

namespace importer {

QString SeparatorFromOptions(const ImportOptions& options) {
    if (options.Option5())
        return QStringLiteral(", ");
    if (options.Option6())
        return QStringLiteral(",");
    if (options.Option7()) {
        const QString other = options.Text3();
        return other == QLatin1String("{TAB}") ? QStringLiteral("\t") : other;
    }
    return QString();
}

QStringList ReadTextLines(const QString& path, std::optional<ReadFailure>* failure) {
    return TextLines::read(path, failure).toList();
}

QStringList SplitFields(const QString& line, const QString& separator) {
    if (line.isEmpty())
        return {};
    if (separator.isEmpty())
        return {line};
    return line.split(separator, Qt::KeepEmptyParts, Qt::CaseSensitive);
}

QString QuoteValue(const QString& field) {
    QString quoted = field;
    quoted.replace(QChar('\''), QLatin1String("''"));
    return QChar('\'') + quoted + QChar('\'');
}

QString RowValueList(const QStringList& fields, int lastIndex) {
    QString values;
    for (int k = 0; k <= lastIndex; ++k) {
        values += k < fields.size() ? QuoteValue(fields[k]) : QStringLiteral("''");
        values += QChar(',');
    }
    return values;
}

QString StripDoubleQuotes(const QString& statement) {
    QString stripped = statement;
    stripped.remove(QChar('"'));
    return stripped;
}

} // namespace importer
