// tarnwick-cli check: the findings on standard output, exit status 1 when there are faults.

#include "check_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace checktest {
namespace {

struct Output {
    std::string text;
    int status = -1;
};

Output runCheck(const std::string& arguments) {
    Output output;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(
        popen((std::string(TARNWICK_CLI) + " check " + arguments + " 2>&1").c_str(), "r"), pclose);
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
        output.text.append(buffer.data(), n);
    output.status = WEXITSTATUS(pclose(pipe.release()));
    return output;
}

TEST(CheckCommand, PrintsFaultsAndLeaksAndFailsOnFaultsOnly) {
    if (!std::filesystem::exists(TARNWICK_CLI) || fixturePath("jet4").empty())
        GTEST_SKIP() << "no tarnwick-cli or no fixture folder";
    testsupport::TempDir folder;
    const Output clean = runCheck("'" + copyFixture("jet4/empty.mdb", folder, "empty.mdb") + "'");
    EXPECT_EQ(clean.status, 0);
    EXPECT_EQ(clean.text, "0 faults, 0 warnings, 0 leaked pages.\n");

    const Output access = runCheck("'" + copyFixture("jet4/testV2000.mdb", folder, "test.mdb") + "'");
    EXPECT_EQ(access.status, 0); // a stale row count is a warning, leaks are no faults
    EXPECT_NE(access.text.find("warning, page 3, 'MSysACEs': the definition counts 61 rows, the table has 64\n"),
              std::string::npos)
        << access.text;
    EXPECT_NE(access.text.find("leak, page 34: this and the next 2 pages are marked used"), std::string::npos);
    EXPECT_TRUE(access.text.ends_with("0 faults, 1 warnings, 693 leaked pages.\n")) << access.text;

    EXPECT_EQ(runCheck("").status, 2);
    EXPECT_EQ(runCheck("'" + folder.file("none.mdb") + "'").status, 1);
}

} // namespace
} // namespace checktest
