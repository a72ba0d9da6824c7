#pragma once

#include <QString>
#include <QStringList>

namespace importer {

// CREATE TABLE `T`(`A` VARCHAR, `B` VARCHAR);
// The last two characters are cut from the whole text, so a definition without
// columns loses its "`(" and the database refuses it.
QString tableDefinition(const QString& table, const QStringList& columns);

// INSERT INTO `T` VALUES('a','b'); with lastIndex + 1 values and every double quote
// removed. Without values the "(" is lost in the same way.
QString rowStatement(const QString& table, const QStringList& fields, int lastIndex);

// SELECT * FROM `T`
QString columnCountQuery(const QString& table);

} // namespace importer
