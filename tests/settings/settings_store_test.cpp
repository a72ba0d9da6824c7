#include "settings/settings_store.h"

#include "support/temp_dir.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using settings::SettingsStore;

namespace {

QString iniPath(const testsupport::TempDir& dir) {
    return QString::fromStdString(dir.file("profile/Hedgemoor.ini"));
}

TEST(SettingsStore, AbsentKeyYieldsTheDefaultButAStoredEmptyTextStaysEmpty) {
    testsupport::TempDir dir;
    SettingsStore store(iniPath(dir));
    EXPECT_EQ(store.read("Tarnwick", "Text2", "NewTable[counter]"), "NewTable[counter]");
    EXPECT_EQ(store.read("Tarnwick", "Database"), "");
    EXPECT_EQ(store.read("Name", "Name2", "x"), "x"); // a section that does not exist

    store.save("Tarnwick", "Text2", "");
    EXPECT_EQ(store.read("Tarnwick", "Text2", "NewTable[counter]"), "");
    // The same key in the other section is a different value.
    EXPECT_EQ(store.read("Name", "Text2", "other"), "other");
}

TEST(SettingsStore, KeepsFreeTextExactly) {
    testsupport::TempDir dir;
    const QString texts[] = {
        "a, b",         "  blanks around  ", "x;y=z",     "{TAB}",   "@Variant(0)", "back\\slash",
        "\"quoted\"",   "new\nline",         "Ünïcödé ß", "[counter]", "#hash",     QString(QChar(0x2603)),
    };
    for (const QString& text : texts) {
        SCOPED_TRACE(text.toStdString());
        SettingsStore(iniPath(dir)).save("Tarnwick", "Text3", text);
        EXPECT_EQ(SettingsStore(iniPath(dir)).read("Tarnwick", "Text3", ":"), text);
    }
}

TEST(SettingsStore, GoesStraightToTheStoreWithoutCaching) {
    testsupport::TempDir dir;
    SettingsStore first(iniPath(dir));
    SettingsStore second(iniPath(dir));
    EXPECT_EQ(first.read("Tarnwick", "Password", "none"), "none");
    second.save("Tarnwick", "Password", "se;cret");
    EXPECT_EQ(first.read("Tarnwick", "Password", "none"), "se;cret");
    first.save("Tarnwick", "Password", "changed");
    EXPECT_EQ(second.read("Tarnwick", "Password"), "changed");
}

TEST(SettingsStore, FileIsReadableByItsOwnerOnly) {
    testsupport::TempDir dir;
    SettingsStore store(iniPath(dir));
    store.save("Tarnwick", "Password", "in the clear");
    store.save("Tarnwick", "Database", "/data/a.mdb");
    const QFileDevice::Permissions permissions = QFileInfo(iniPath(dir)).permissions();
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther;
    EXPECT_TRUE(permissions & QFileDevice::ReadOwner);
    EXPECT_FALSE(permissions & others) << std::hex << int(permissions);
}

TEST(SettingsStore, HandEditedListValueReadsAsOneText) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir.file("hand.ini"), "[Tarnwick]\nText3=a, b\nText2=\n");
    SettingsStore store(QString::fromStdString(dir.file("hand.ini")));
    EXPECT_EQ(store.read("Tarnwick", "Text3", ":"), "a, b");
    EXPECT_EQ(store.read("Tarnwick", "Text2", "NewTable[counter]"), "");
}

} // namespace
