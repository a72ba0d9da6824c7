#include "settings/settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace settings {

SettingsStore::SettingsStore() = default;

SettingsStore::SettingsStore(QString iniPath) : m_iniPath(std::move(iniPath)) {}

std::unique_ptr<QSettings> SettingsStore::open() const {
    if (m_iniPath.isEmpty())
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kApplicationKey);
    return std::make_unique<QSettings>(m_iniPath, QSettings::IniFormat);
}

QString SettingsStore::read(const QString& section, const QString& key, const QString& defaultText) const {
    const auto store = open();
    store->beginGroup(section);
    if (!store->contains(key))
        return defaultText;
    const QVariant value = store->value(key);
    // A hand-edited INI line such as "Text3=a, b" parses as a list; give it back as one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QStringLiteral(", "));
    return value.toString();
}

namespace {

// The store holds the password in the clear. Creating the file with owner-only rights
// before QSettings first writes it means it is never readable by others, not even
// briefly; later writes replace it through a save file that keeps these rights.
void createPrivateFile(const QString& path) {
    const QFileInfo info(path);
    if (info.exists())
        return;
    QDir().mkpath(info.absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        file.close();
}

// The native store is the registry on Windows and managed preferences on macOS; only
// elsewhere is it a plain file of ours.
bool isFile(const QSettings& store) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return store.format() == QSettings::IniFormat;
#else
    Q_UNUSED(store);
    return true;
#endif
}

} // namespace

void SettingsStore::save(const QString& section, const QString& key, const QString& text) {
    const auto store = open();
    if (isFile(*store))
        createPrivateFile(store->fileName());
    store->beginGroup(section);
    store->setValue(key, text);
    store->endGroup();
    store->sync();
    if (isFile(*store))
        QFile::setPermissions(store->fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString SettingsStore::location() const { return open()->fileName(); }

} // namespace settings
