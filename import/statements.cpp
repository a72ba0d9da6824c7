#include "import/statements.h"

#include "import/text_rules.h"

namespace importer {

QString tableDefinition(const QString& table, const QStringList& columns) {
    QString text = QStringLiteral("CREATE TABLE `") + table + QStringLiteral("`(");
    for (const QString& column : columns)
        text += QChar('`') + column + QStringLiteral("` VARCHAR, ");
    text.chop(2);
    return text + QStringLiteral(");");
}

QString rowStatement(const QString& table, const QStringList& fields, int lastIndex) {
    QString text = QStringLiteral("INSERT INTO `") + table + QStringLiteral("` VALUES(");
    text += RowValueList(fields, lastIndex);
    text.chop(1);
    text += QStringLiteral(");");
    return StripDoubleQuotes(text);
}

QString columnCountQuery(const QString& table) { return QStringLiteral("SELECT * FROM `") + table + QChar('`'); }

} // namespace importer
