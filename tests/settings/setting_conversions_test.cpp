#include "settings/setting_conversions.h"
#include "settings/setting_keys.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingConversions, BooleanTextAcceptsBothCasesAndNumbers) {
    const struct {
        const char* text;
        std::optional<bool> expected;
    } cases[] = {
        {"True", true},  {"False", false}, {"TRUE", true},     {"false", false},     {"1", true},
        {"0", false},    {"-1", true},     {"2.5", true},      {"0.0", false},       {" 1 ", true},
        {"", std::nullopt}, {"yes", std::nullopt}, {"Tru", std::nullopt}, {"1x", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(settings::booleanFromText(c.text), c.expected);
    }
    EXPECT_EQ(settings::booleanText(true), "True");
    EXPECT_EQ(settings::booleanText(false), "False");
}

TEST(SettingConversions, Integer16RoundsHalfToEvenAndRejectsOverflow) {
    const struct {
        const char* text;
        std::optional<qint16> expected;
    } cases[] = {
        {"0", 0},       {"1", 1},       {"1.5", 2},          {"2.5", 2},          {"-3", -3},
        {"32767", 32767}, {"32768", std::nullopt}, {"-32769", std::nullopt}, {"one", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(settings::integer16FromText(c.text), c.expected);
    }
}

TEST(SettingConversions, ReadsFallBackToTheKeysDefaults) {
    testsupport::TempDir dir;
    settings::SettingsStore store(QString::fromStdString(dir.file("s.ini")));
    const QString section = settings::kSectionTarnwick;

    // Absent: the integer defaults 1 and 0.
    EXPECT_TRUE(settings::readBoolean(store, section, "Option1", true));
    EXPECT_FALSE(settings::readBoolean(store, section, "Option2", false));
    EXPECT_EQ(settings::readCheckBox(store, section, "Check2"), 0);
    EXPECT_FALSE(settings::readSplashHidden(store));

    // Stored numbers read like their Boolean texts.
    store.save(section, "Option1", "0");
    store.save(section, "Option2", "1");
    EXPECT_FALSE(settings::readBoolean(store, section, "Option1", true));
    EXPECT_TRUE(settings::readBoolean(store, section, "Option2", false));

    // Hand-edited texts that do not convert give the default.
    store.save(section, "Option1", "maybe");
    store.save(section, "Check2", "ticked");
    store.save(section, "Check2b", "7");
    store.save(section, "ShowAgain", "never");
    EXPECT_TRUE(settings::readBoolean(store, section, "Option1", true));
    EXPECT_EQ(settings::readCheckBox(store, section, "Check2"), 0);
    EXPECT_EQ(settings::readCheckBox(store, section, "Check2b", 1), 1);
    EXPECT_FALSE(settings::readSplashHidden(store));

    settings::saveCheckBox(store, section, "Check2", 1);
    EXPECT_EQ(store.read(section, "Check2"), "1");
    EXPECT_EQ(settings::readCheckBox(store, section, "Check2"), 1);
    settings::saveBoolean(store, section, "Option7", true);
    EXPECT_EQ(store.read(section, "Option7"), "True");
}

TEST(SettingConversions, ShowAgainHidesTheSplashForAnyNumberButZero) {
    testsupport::TempDir dir;
    settings::SettingsStore store(QString::fromStdString(dir.file("s.ini")));
    const struct {
        const char* text;
        bool hidden;
    } cases[] = {{"1", true}, {"0", false}, {"2", true}, {"-1", true}, {"0.0", false}, {"", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        store.save(settings::kSectionTarnwick, settings::key::kShowAgain, c.text);
        EXPECT_EQ(settings::readSplashHidden(store), c.hidden);
    }
}

} // namespace
