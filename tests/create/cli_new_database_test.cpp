// tarnwick-cli new-database: format choice, refusals on standard error, exit status.

#include "create_test_support.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace storage {
namespace {

struct Outcome {
    bool succeeded;
    std::string output;
};

Outcome newDatabase(const std::string& arguments) {
    Outcome outcome;
    outcome.succeeded =
        create_test::runCommand(std::string(TARNWICK_CLI) + " new-database " + arguments + " 2>&1", outcome.output);
    return outcome;
}

TEST(CliNewDatabase, ChoosesTheFormatFromTheExtensionUnlessToldAndReportsRefusals) {
    testsupport::TempDir dir;
    const struct {
        std::string file;
        std::string flags;
        FileFormat expected;
    } made[] = {
        {"plain.mdb", "", FileFormat::Jet4},
        {"plain.accdb", "", FileFormat::Ace16},
        {"data.db", "--format ace12", FileFormat::Ace12},
        {"locked.mdb", "--password 'open sesame'", FileFormat::Jet4},
        {"secret.accdb", "--password 'open sesame'", FileFormat::Ace16},
        {"old.accdb", "--format ace12 --password 'open sesame'", FileFormat::Ace12},
        {"encoded.mdb", "--encode", FileFormat::Jet4},
    };
    for (const auto& each : made) {
        SCOPED_TRACE(each.file);
        const Outcome outcome = newDatabase(create_test::shellQuote(dir.file(each.file)) + " " + each.flags);
        EXPECT_TRUE(outcome.succeeded) << outcome.output;
        EXPECT_EQ(outcome.output, "");
        auto database = Database::open(dir.file(each.file), OpenOptions{"open sesame"});
        ASSERT_TRUE(database) << database.error().description;
        EXPECT_EQ((*database)->format(), each.expected);
    }
    EXPECT_EQ(Database::open(dir.file("locked.mdb"), OpenOptions{}).error().jetNumber, 3031);
    EXPECT_EQ(Database::open(dir.file("secret.accdb"), OpenOptions{}).error().jetNumber, 3031);
    EXPECT_TRUE(Database::open(dir.file("encoded.mdb"), OpenOptions{})->get()->header().hasJetPageEncoding());

    const struct {
        std::string arguments;
        std::string message;
    } refused[] = {
        {create_test::shellQuote(dir.file("plain.mdb")), "Database already exists.\n"},
        {create_test::shellQuote(dir.file("encoded.accdb")) + " --encode", "Encoding is for .mdb files"},
        {create_test::shellQuote(dir.file("data.txt")), "neither .mdb nor .accdb"},
        {create_test::shellQuote(dir.file("x.mdb")) + " --format jet3", "Unknown format \"jet3\""},
        {"", "usage: tarnwick-cli new-database PATH"},
    };
    for (const auto& each : refused) {
        SCOPED_TRACE(each.arguments);
        const Outcome outcome = newDatabase(each.arguments);
        EXPECT_FALSE(outcome.succeeded);
        EXPECT_NE(outcome.output.find(each.message), std::string::npos) << outcome.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("encoded.accdb")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.mdb")));
}

} // namespace
} // namespace storage
