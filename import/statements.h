#pragma once

#include <QString>
#include <QStringList>

namespace importer {

// CREATE TABLE `T`(`A` VARCHAR, `B` VARCHAR);
// The last two characters are cut from the whole text, so a definition without
// columns loses its "`(" and the database refuses it.
QString tableDefinition(const QString& table, const QStringList& columns);

// SELECT * FROM `T`
QString columnCountQuery(const QString& table);

} // namespace importer
