#pragma once

#include "settings/settings_store.h"

#include <QString>

#include <optional>

namespace settings {

// "True" or "False", the text form of a Boolean.
QString booleanText(bool value);
// "True" and "False" in any letter case, or any number (0 is false, every other number
// true); nullopt for any other text.
std::optional<bool> booleanFromText(const QString& text);

// A check box's state as its integer text ("0" unticked, "1" ticked, "2" greyed).
QString checkBoxText(int state);
// The text converted to a 16-bit integer (a fraction rounds half to even); nullopt when
// it is no number or out of range.
std::optional<qint16> integer16FromText(const QString& text);

// Reads a Boolean key whose absent default is the integer 1 (true) or 0 (false). A text
// that does not convert (edited by hand) yields the default.
bool readBoolean(const SettingsStore& store, const QString& section, const QString& key, bool defaultValue);
void saveBoolean(SettingsStore& store, const QString& section, const QString& key, bool value);

// Reads a check-box key; a text that is no check-box state (0, 1 or 2) yields the default.
int readCheckBox(const SettingsStore& store, const QString& section, const QString& key, int defaultValue = 0);
void saveCheckBox(SettingsStore& store, const QString& section, const QString& key, int state);

// "ShowAgain": any number other than 0 means the splash stays hidden; an absent key or
// a text that is no number means it is shown.
bool readSplashHidden(const SettingsStore& store);

} // namespace settings
