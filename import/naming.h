#pragma once

#include "import/import_sources.h"
#include "import/user_interface.h"

#include <QString>
#include <QStringList>

namespace importer {

// The 62 characters a column name may hold.
inline const QString kAllowedColumnChars =
    QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789");

// The template with every "[counter]" (exact, case-sensitive) replaced by `position`.
QString ResolveTableName(const QString& tableNameTemplate, int position);

// True when an item of the list equals the text, both lower-cased by Unicode's rules.
bool IsInListBox(const TableList& list, const QString& text);

// The characters of `text` that are in `set` (keep) or not in it (!keep), in order.
QString FilterChars(const QString& text, const QString& set, bool keep);

// Only the ASCII letters and digits of `text`.
QString AlphaNumOnly(const QString& text);

// A column per non-empty field of line 0, named AlphaNumOnly of the field (which may come out empty).
QStringList HeaderColumnNames(const QStringList& firstLineFields);

// The answers to "Enter name for column #n:" for n = 1..fieldCount, stopping after
// the first empty (or cancelled) answer.
struct ColumnAnswers {
    QStringList answers;
    bool lastEmpty() const { return !answers.isEmpty() && answers.last().isEmpty(); }
};
ColumnAnswers AskColumnNames(int fieldCount, UserInterface& ui);

} // namespace importer
