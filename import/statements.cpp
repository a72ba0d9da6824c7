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

QString columnCountQuery(const QString& table) { return QStringLiteral("SELECT * FROM `") + table + QChar('`'); }

} // namespace importer
