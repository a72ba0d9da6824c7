#pragma once

#include <QByteArray>
#include <QChar>

#include <optional>

namespace importer {

// How the run reads its files. The defaults are the literal rules of the import window:
// the ANSI code page, lines cut at line feeds, fields cut at every separator.
struct ReadingRules {
    // A field that begins with this character runs to its closing one; records may then
    // span lines and values keep their double quotes.
    std::optional<QChar> textQualifier;
    // The files' encoding by name ("auto" detects it); empty for the ANSI code page.
    QByteArray encoding;

    bool literal() const { return !textQualifier && encoding.isEmpty(); }
};

} // namespace importer
