#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace importer {

// The single place where text files and the log meet the system's ANSI code page.
// Windows-1252 unless another code page is chosen; conversion is done by the
// platform's converter (ICU), never by a table of our own: where a table is used,
// it holds the converter's own answers.
class AnsiCodePage {
public:
    static QString decode(const QByteArray& bytes);
    static QByteArray encode(const QString& text);

    // Chooses another code page by its name (such as "windows-1251"); false if the
    // platform has no converter for it, in which case nothing changes.
    static bool select(const QByteArray& name);
    static QByteArray name();

    // For a code page that turns every byte on its own into one character (as
    // Windows-1252 does), the character of each byte, as the converter gives it, so
    // that text can be converted a piece at a time; nullptr for any other code page.
    using ByteTable = std::array<char16_t, 256>;
    static const ByteTable* singleByteTable();
};

} // namespace importer
