#include "import/text_decoding.h"

#include "import/ansi_code_page.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>

namespace importer {

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");

bool isAuto(const QByteArray& name) {
    return name.compare("auto", Qt::CaseInsensitive) == 0;
}

// The start of the bytes that are not ASCII; runs of ASCII are passed over eight bytes at a time.
const unsigned char* skipAscii(const unsigned char* at, const unsigned char* end) {
    for (std::uint64_t word = 0; end - at >= 8; at += 8) {
        std::memcpy(&word, at, 8);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (at < end && *at < 0x80)
        ++at;
    return at;
}

// Well-formed UTF-8: no stray or missing continuation byte, no overlong form, no
// surrogate, nothing beyond U+10FFFF.
bool isValidUtf8(const QByteArray& bytes) {
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = at + bytes.size();
    while ((at = skipAscii(at, end)) < end) {
        const unsigned char lead = *at;
        int following = 0;
        std::uint32_t code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            following = 1;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            following = 2;
            code = lead & 0x0Fu;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            following = 3;
            code = lead & 0x07u;
        } else {
            return false;
        }
        if (end - at <= following)
            return false;
        for (int i = 1; i <= following; ++i) {
            if ((at[i] & 0xC0) != 0x80)
                return false;
            code = code << 6 | (at[i] & 0x3Fu);
        }
        if ((following == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (following == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        at += following + 1;
    }
    return true;
}

// Bytes of a single-byte code page, converted through the converter's own table; text
// that is ASCII throughout stays as it is where the code page keeps ASCII.
QByteArray singleByteAsUtf8(QByteArray bytes, const AnsiCodePage::ByteTable& table) {
    bool keepsAscii = true;
    for (char16_t byte = 0; byte < 0x80; ++byte)
        keepsAscii = keepsAscii && table[byte] == byte;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    if (keepsAscii && skipAscii(data, data + bytes.size()) == data + bytes.size())
        return bytes;
    std::array<std::string, 256> utf8;
    for (std::size_t byte = 0; byte < utf8.size(); ++byte)
        utf8[byte] = QString(QChar(table[byte])).toStdString();
    qsizetype size = 0;
    for (qsizetype at = 0; at < bytes.size(); ++at)
        size += static_cast<qsizetype>(utf8[data[at]].size());
    QByteArray text(size, Qt::Uninitialized);
    char* to = text.data();
    for (qsizetype at = 0; at < bytes.size(); ++at)
        to = std::copy(utf8[data[at]].begin(), utf8[data[at]].end(), to);
    return text;
}

QByteArray convertedAsUtf8(const QByteArray& bytes, const QByteArray& encoding) {
    QStringDecoder decoder(encoding.constData());
    const QString text = decoder.decode(bytes);
    return text.toUtf8();
}

} // namespace

bool isKnownEncoding(const QByteArray& name) {
    return isAuto(name) || QStringDecoder(name.constData()).isValid();
}

QByteArray textAsUtf8(QByteArray bytes, const QByteArray& encoding) {
    if (encoding.isEmpty()) {
        if (const AnsiCodePage::ByteTable* table = AnsiCodePage::singleByteTable())
            return singleByteAsUtf8(std::move(bytes), *table);
        return AnsiCodePage::decode(bytes).toUtf8();
    }
    QByteArray name = encoding;
    if (isAuto(encoding)) {
        if (const std::optional<QStringConverter::Encoding> marked = QStringConverter::encodingForData(bytes))
            name = QStringConverter::nameForEncoding(*marked);
        else
            name = isValidUtf8(bytes) ? QByteArray("UTF-8") : QByteArray("windows-1252");
    }
    // UTF-8 goes into the statements as it stands once it is known to be well formed.
    if (QStringConverter::encodingForName(name.constData()) == QStringConverter::Utf8) {
        if (bytes.startsWith(kUtf8Mark))
            bytes.remove(0, kUtf8Mark.size());
        if (isValidUtf8(bytes))
            return bytes;
    }
    return convertedAsUtf8(bytes, name);
}

} // namespace importer
