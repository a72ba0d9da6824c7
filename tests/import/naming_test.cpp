#include "fakes.h"
#include "import/naming.h"

#include <gtest/gtest.h>

using namespace importer;

namespace {

TEST(ResolveTableName, ReplacesEveryExactCounterToken) {
    EXPECT_EQ(ResolveTableName("NewTable[counter]", 12), "NewTable12");
    EXPECT_EQ(ResolveTableName("[counter]_[counter]", 3), "3_3");
    EXPECT_EQ(ResolveTableName("NewTable[Counter]", 5), "NewTable[Counter]");
    EXPECT_EQ(ResolveTableName("Fixed", 7), "Fixed");
    EXPECT_EQ(ResolveTableName("", 1), "");
}

TEST(IsInListBox, ComparesWithoutRegardToCase) {
    testsupport::FakeTables tables;
    EXPECT_FALSE(IsInListBox(tables, "Orders"));
    tables.set({"Customers", "Orders", QString::fromUtf8("\xC3\x84pfel")});
    EXPECT_TRUE(IsInListBox(tables, "orders"));
    EXPECT_TRUE(IsInListBox(tables, "ORDERS"));
    EXPECT_TRUE(IsInListBox(tables, QString::fromUtf8("\xC3\xA4PFEL")));
    EXPECT_FALSE(IsInListBox(tables, "Order"));
    EXPECT_FALSE(IsInListBox(tables, "Orders "));
}

TEST(AlphaNumOnly, KeepsOnlyAsciiLettersAndDigits) {
    EXPECT_EQ(AlphaNumOnly("First Name"), "FirstName");
    EXPECT_EQ(AlphaNumOnly("e-mail"), "email");
    EXPECT_EQ(AlphaNumOnly("2019 Sales ($)"), "2019Sales");
    EXPECT_EQ(AlphaNumOnly(QString::fromUtf8("Stra\xC3\x9F" "e")), "Strae");
    EXPECT_EQ(AlphaNumOnly("_\t!"), "");
    EXPECT_EQ(FilterChars("a1b2", "12", false), "ab");
}

TEST(HeaderColumnNames, SkipsEmptyFieldsButKeepsNamesThatFilterToNothing) {
    EXPECT_EQ(HeaderColumnNames({"ID", "", "Name"}), (QStringList{"ID", "Name"}));
    EXPECT_EQ(HeaderColumnNames({"Name", "Name"}), (QStringList{"Name", "Name"}));
    EXPECT_EQ(HeaderColumnNames({"$$", "x y"}), (QStringList{"", "xy"}));
}

TEST(AskColumnNames, AsksPerColumnUntilAnEmptyAnswer) {
    testsupport::ScriptedUi ui;
    ui.answers = {"My Col", "B"};
    ColumnAnswers all = AskColumnNames(2, ui);
    EXPECT_EQ(ui.prompts, (QStringList{"Enter name for column #1:", "Enter name for column #2:"}));
    EXPECT_EQ(all.answers, (QStringList{"My Col", "B"}));
    EXPECT_FALSE(all.lastEmpty());

    ui.prompts.clear();
    ui.answers = {"A"}; // then a cancel
    ColumnAnswers cancelled = AskColumnNames(3, ui);
    EXPECT_EQ(ui.prompts.size(), 2);
    EXPECT_TRUE(cancelled.lastEmpty());

    ui.prompts.clear();
    EXPECT_TRUE(AskColumnNames(0, ui).answers.isEmpty());
    EXPECT_TRUE(ui.prompts.isEmpty());
}

} // namespace
