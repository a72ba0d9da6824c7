#pragma once

#include <QByteArray>

namespace importer {

// Whether --encoding may name it: "auto", or an encoding the platform's converter knows.
bool isKnownEncoding(const QByteArray& name);

// A file's bytes as UTF-8 text. `encoding` names the file's encoding; a byte-order mark of
// a Unicode encoding is not part of the text. "auto": a byte-order mark decides, else text
// that is valid UTF-8 is UTF-8, else Windows-1252. Empty: the ANSI code page, where a
// byte-order mark is converted like any other bytes.
QByteArray textAsUtf8(QByteArray bytes, const QByteArray& encoding);

} // namespace importer
