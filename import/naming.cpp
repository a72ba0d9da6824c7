#include "import/naming.h"

namespace importer {

QString ResolveTableName(const QString& tableNameTemplate, int position) {
    QString name = tableNameTemplate;
    name.replace(QLatin1String("[counter]"), QString::number(position), Qt::CaseSensitive);
    return name;
}

bool IsInListBox(const TableList& list, const QString& text) {
    const QString lowered = text.toLower();
    bool found = false;
    for (int index = 0; index < list.count(); ++index)
        if (list.item(index).toLower() == lowered)
            found = true;
    return found;
}

QString FilterChars(const QString& text, const QString& set, bool keep) {
    QString result;
    for (const QChar c : text)
        if (set.contains(c, Qt::CaseSensitive) == keep)
            result += c;
    return result;
}

QString AlphaNumOnly(const QString& text) { return FilterChars(text, kAllowedColumnChars, true); }

QStringList HeaderColumnNames(const QStringList& firstLineFields) {
    QStringList names;
    for (const QString& field : firstLineFields)
        if (!field.isEmpty())
            names << AlphaNumOnly(field);
    return names;
}

ColumnAnswers AskColumnNames(int fieldCount, UserInterface& ui) {
    ColumnAnswers result;
    for (int n = 1; n <= fieldCount; ++n) {
        const QString answer = ui.inputBox(QStringLiteral("Enter name for column #%1:").arg(n));
        result.answers << answer;
        if (answer.isEmpty())
            break;
    }
    return result;
}

} // namespace importer
