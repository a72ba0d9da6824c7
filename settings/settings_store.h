#pragma once

#include <QSettings>
#include <QString>

#include <memory>

namespace settings {

// The application key under which every value lives, and its two sections.
inline const QString kApplicationKey = QStringLiteral("Hedgemoor");
inline const QString kSectionTarnwick = QStringLiteral("Tarnwick");
inline const QString kSectionName = QStringLiteral("Name");

// Per-user text values addressed by section and key under the application key.
// Every call goes to the backing store: nothing is cached, so a value saved is what
// the next read returns, also through another SettingsStore on the same store.
class SettingsStore {
public:
    // The user's native store (the registry on Windows, a file under ~/.config elsewhere).
    SettingsStore();
    // An INI file at `iniPath`, for tests and tools that must not touch the user's store.
    explicit SettingsStore(QString iniPath);

    // The stored text; `defaultText` when the key (or its section) is absent. A key that
    // holds the empty text yields the empty text.
    QString read(const QString& section, const QString& key, const QString& defaultText = QString()) const;
    // Creates or replaces the value. The store holds the text exactly, password included,
    // so a store that is a file is kept readable by its owner only.
    void save(const QString& section, const QString& key, const QString& text);

    // Where the values live: a file path, or the registry path on Windows.
    QString location() const;

private:
    // A fresh QSettings per call keeps every read and write on the store itself.
    std::unique_ptr<QSettings> open() const;

    QString m_iniPath; // empty for the native store
};

} // namespace settings
