#include "import/ansi_code_page.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <map>
#include <optional>

namespace importer {

namespace {
QByteArray& currentName() {
    static QByteArray name = "windows-1252";
    return name;
}
} // namespace

QString AnsiCodePage::decode(const QByteArray& bytes) {
    QStringDecoder decoder(currentName().constData());
    return decoder.decode(bytes);
}

QByteArray AnsiCodePage::encode(const QString& text) {
    QStringEncoder encoder(currentName().constData());
    return encoder.encode(text);
}

bool AnsiCodePage::select(const QByteArray& name) {
    if (!QStringDecoder(name.constData()).isValid())
        return false;
    currentName() = name;
    return true;
}

QByteArray AnsiCodePage::name() { return currentName(); }

const AnsiCodePage::ByteTable* AnsiCodePage::singleByteTable() {
    static std::map<QByteArray, std::optional<ByteTable>> tables;
    auto [at, added] = tables.try_emplace(currentName());
    if (!added)
        return at->second ? &*at->second : nullptr;
    ByteTable table{};
    QByteArray every;
    for (int byte = 0; byte < 256; ++byte) {
        const QString one = decode(QByteArray(1, static_cast<char>(byte)));
        if (one.size() != 1)
            return nullptr;
        table[static_cast<std::size_t>(byte)] = one[0].unicode();
        every.append(static_cast<char>(byte));
    }
    // Stateless too: the bytes together convert as they do one by one.
    if (decode(every) != QString(reinterpret_cast<const QChar*>(table.data()), 256))
        return nullptr;
    at->second = table;
    return &*at->second;
}

} // namespace importer
