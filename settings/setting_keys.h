#pragma once

#include <QString>

namespace settings::key {

// Section "Tarnwick": the database window's two fields.
inline const QString kDatabase = QStringLiteral("Database");
inline const QString kPassword = QStringLiteral("Password");

// Section "Tarnwick": the import window's options, named after their controls.
inline const QString kCheck2 = QStringLiteral("Check2");
inline const QString kOption1 = QStringLiteral("Option1");
inline const QString kOption2 = QStringLiteral("Option2");
inline const QString kOption3 = QStringLiteral("Option3");
inline const QString kOption4 = QStringLiteral("Option4");
inline const QString kOption5 = QStringLiteral("Option5");
inline const QString kOption6 = QStringLiteral("Option6");
inline const QString kOption7 = QStringLiteral("Option7");
inline const QString kText2 = QStringLiteral("Text2");
inline const QString kText3 = QStringLiteral("Text3");

// Section "Tarnwick": the splash's "Hide this at next startup" and the last folder-scan extension.
inline const QString kShowAgain = QStringLiteral("ShowAgain");
inline const QString kExtension = QStringLiteral("Extension");

// Section "Name": switches that only the splash reads.
inline const QString kName = QStringLiteral("Name");
inline const QString kName2 = QStringLiteral("Name2");

// Defaults of the free-text keys.
inline const QString kText2Default = QStringLiteral("NewTable[counter]");
inline const QString kText3Default = QStringLiteral(":");

} // namespace settings::key
