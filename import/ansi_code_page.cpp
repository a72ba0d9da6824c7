#include "import/ansi_code_page.h"

#include <QStringDecoder>
#include <QStringEncoder>

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

} // namespace importer
