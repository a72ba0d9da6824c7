#include "settings/setting_conversions.h"

#include "settings/setting_keys.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace settings {

namespace {

// Numbers as the store holds them: decimal, with a point, surrounding blanks allowed.
std::optional<double> numberFromText(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

QString booleanText(bool value) { return value ? QStringLiteral("True") : QStringLiteral("False"); }

std::optional<bool> booleanFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto number = numberFromText(trimmed))
        return *number != 0.0;
    return std::nullopt;
}

QString checkBoxText(int state) { return QString::number(state); }

std::optional<qint16> integer16FromText(const QString& text) {
    const auto number = numberFromText(text);
    if (!number)
        return std::nullopt;
    const double rounded = std::nearbyint(*number); // the default rounding mode is half to even
    if (rounded < std::numeric_limits<qint16>::min() || rounded > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return static_cast<qint16>(rounded);
}

bool readBoolean(const SettingsStore& store, const QString& section, const QString& key, bool defaultValue) {
    const QString text = store.read(section, key, defaultValue ? QStringLiteral("1") : QStringLiteral("0"));
    return booleanFromText(text).value_or(defaultValue);
}

void saveBoolean(SettingsStore& store, const QString& section, const QString& key, bool value) {
    store.save(section, key, booleanText(value));
}

int readCheckBox(const SettingsStore& store, const QString& section, const QString& key, int defaultValue) {
    const auto state = integer16FromText(store.read(section, key, QString::number(defaultValue)));
    if (!state || *state < 0 || *state > 2)
        return defaultValue;
    return *state;
}

void saveCheckBox(SettingsStore& store, const QString& section, const QString& key, int state) {
    store.save(section, key, checkBoxText(state));
}

bool readSplashHidden(const SettingsStore& store) {
    const auto number = numberFromText(store.read(kSectionTarnwick, key::kShowAgain, QStringLiteral("0")));
    return number && *number != 0.0;
}

} // namespace settings
