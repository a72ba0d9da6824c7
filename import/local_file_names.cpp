#include "import/local_file_names.h"

#include "import/ansi_code_page.h"

#include <QFile>

#include <fcntl.h>

namespace importer {

namespace {

constexpr char16_t kRawByteBase = 0xDC00;

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at `at` and its code point, or 0 when the bytes
// there are no valid sequence (overlong forms and encoded surrogates included).
int validSequence(const QByteArray& bytes, qsizetype at, char32_t& codePoint) {
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    int length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if (lead < 0x80)
        length = 1, value = lead;
    else if ((lead & 0xE0) == 0xC0)
        length = 2, value = lead & 0x1F, smallest = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, value = lead & 0x0F, smallest = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, value = lead & 0x07, smallest = 0x10000;
    else
        return 0;
    if (at + length > bytes.size())
        return 0;
    for (int i = 1; i < length; ++i) {
        if (!isContinuation(byte(at + i)))
            return 0;
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0;
    codePoint = value;
    return length;
}

bool isRawByte(const QString& name, qsizetype at) {
    const char16_t unit = name[at].unicode();
    const bool pairedLow = at > 0 && QChar::isHighSurrogate(name[at - 1].unicode());
    return unit >= kRawByteBase + 0x80 && unit <= kRawByteBase + 0xFF && !pairedLow;
}

} // namespace

QString decodeLocalFileName(const QByteArray& bytes) {
    QString name;
    name.reserve(bytes.size());
    for (qsizetype at = 0; at < bytes.size();) {
        char32_t codePoint = 0;
        if (const int length = validSequence(bytes, at, codePoint)) {
            name += QString::fromUcs4(&codePoint, 1);
            at += length;
        } else {
            name += QChar(char16_t(kRawByteBase + static_cast<unsigned char>(bytes[at])));
            ++at;
        }
    }
    return name;
}

QByteArray encodeLocalFileName(const QString& name) {
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype plainFrom = 0;
    for (qsizetype at = 0; at < name.size(); ++at) {
        if (!isRawByte(name, at))
            continue;
        bytes += name.mid(plainFrom, at - plainFrom).toUtf8();
        bytes += char(name[at].unicode() - kRawByteBase);
        plainFrom = at + 1;
    }
    bytes += name.mid(plainFrom).toUtf8();
    return bytes;
}

bool holdsRawBytes(const QString& name) {
    for (qsizetype at = 0; at < name.size(); ++at)
        if (isRawByte(name, at))
            return true;
    return false;
}

QString displayLocalFileName(const QString& name) {
    if (!holdsRawBytes(name))
        return name;
    QString shown;
    qsizetype plainFrom = 0;
    for (qsizetype at = 0; at < name.size(); ++at) {
        if (!isRawByte(name, at))
            continue;
        shown += name.mid(plainFrom, at - plainFrom);
        shown += AnsiCodePage::decode(QByteArray(1, char(name[at].unicode() - kRawByteBase)));
        plainFrom = at + 1;
    }
    shown += name.mid(plainFrom);
    return shown;
}

// Qt opens a file by the UTF-8 form of its name; a name with kept bytes is opened by its
// own bytes and handed to QFile as an open descriptor.
bool openForReading(QFile& file, const QString& path) {
    if (!holdsRawBytes(path)) {
        file.setFileName(path);
        return file.open(QIODevice::ReadOnly);
    }
    const int descriptor = ::open(encodeLocalFileName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    return file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

} // namespace importer
