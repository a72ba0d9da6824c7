#pragma once

#include "import/import_sources.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace importer {

// The separator chosen by the separator options: ", ", ",", a tab for the text
// "{TAB}" in Text3, otherwise Text3 as typed; empty when no option is selected.
QString SeparatorFromOptions(const ImportOptions& options);

struct ReadFailure {
    QString description;
};

// A file's lines: the whole file converted from the ANSI code page, every carriage
// return removed, split at every line feed. A byte-order mark is converted like any
// other bytes: the file is read as one code page, without detection. An empty file
// gives no line.
QStringList ReadTextLines(const QString& path, std::optional<ReadFailure>* failure);

// Cuts at every exact occurrence of the separator, keeping empty pieces; nothing is
// trimmed and quotes protect nothing. An empty line gives no field; an empty
// separator gives the whole line as one field.
QStringList SplitFields(const QString& line, const QString& separator);

// 'text' with every ' doubled.
QString QuoteValue(const QString& field);

// lastIndex + 1 quoted values, each followed by ",": missing fields become '',
// extra fields are dropped.
QString RowValueList(const QStringList& fields, int lastIndex);

// The statement without any double-quote character.
QString StripDoubleQuotes(const QString& statement);

} // namespace importer
