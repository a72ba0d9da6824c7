#pragma once

#include <QByteArray>
#include <QString>

namespace importer {

// The single place where text files and the log meet the system's ANSI code page.
// Windows-1252 unless another code page is chosen; conversion is done by the
// platform's converter (ICU), never by a table of our own.
class AnsiCodePage {
public:
    static QString decode(const QByteArray& bytes);
    static QByteArray encode(const QString& text);

    // Chooses another code page by its name (such as "windows-1251"); false if the
    // platform has no converter for it, in which case nothing changes.
    static bool select(const QByteArray& name);
    static QByteArray name();
};

} // namespace importer
