#pragma once

#include <QByteArray>
#include <QString>

class QFile;

namespace importer {

// File names on Linux are bytes; most are UTF-8, but a name written under another encoding
// (a Latin-1 "caf\xe9.txt") is just as real. Qt's own conversion turns such bytes into
// U+FFFD and cannot find the file again, so names taken from the file system go through
// these two instead: valid UTF-8 becomes its characters, every other byte b becomes the
// lone surrogate U+DC00 + b, and the conversion back gives exactly the original bytes.
QString decodeLocalFileName(const QByteArray& bytes);
QByteArray encodeLocalFileName(const QString& name);

// Whether a name holds bytes that only decodeLocalFileName keeps.
bool holdsRawBytes(const QString& name);

// The name as a person reads it: each kept byte shown as the ANSI code page's character.
QString displayLocalFileName(const QString& name);

// Opens `file` for reading by the exact bytes of `path`; false when it cannot be opened.
bool openForReading(QFile& file, const QString& path);

} // namespace importer
