// An installation into a staging folder: what it holds, and that it runs from there.
#include "support/commands.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using testsupport::runCommand;
using testsupport::shellQuote;

bool have(const std::string& program) {
    std::string ignored;
    return runCommand("command -v " + program + " >/dev/null", ignored);
}

// One installation with the prefix /usr under a staging folder (DESTDIR), shared by the
// tests of this file.
class InstalledTree : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_stage = new testsupport::TempDir;
        std::string output;
        s_installed = runCommand("DESTDIR=" + shellQuote(s_stage->path().string()) + " " TARNWICK_CMAKE " --install " +
                                     shellQuote(TARNWICK_BUILD_DIR) + " --prefix /usr 2>&1",
                                 output);
        s_installLog = output;
    }
    static void TearDownTestSuite() {
        delete s_stage;
        s_stage = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(s_installed) << s_installLog; }

    static fs::path installed(const std::string& path) { return s_stage->path() / "usr" / path; }
    static std::string cli() { return shellQuote(installed("bin/tarnwick-cli").string()); }
    std::string work(const std::string& name) const { return m_work.file(name); }

    testsupport::TempDir m_work;

    static inline testsupport::TempDir* s_stage = nullptr;
    static inline bool s_installed = false;
    static inline std::string s_installLog;
};

TEST_F(InstalledTree, HoldsTheProgramsManualPagesMenuEntryIconAndFileTypes) {
    for (const char* program : {"bin/tarnwick", "bin/tarnwick-cli"}) {
        const fs::path path = installed(program);
        ASSERT_TRUE(fs::is_regular_file(path)) << program;
        EXPECT_NE(fs::status(path).permissions() & fs::perms::others_exec, fs::perms::none) << program;
    }
    for (const char* file : {"share/man/man1/tarnwick-cli.1.gz", "share/man/man1/tarnwick.1.gz",
                             "share/applications/tarnwick.desktop", "share/mime/packages/tarnwick.xml"})
        EXPECT_TRUE(fs::is_regular_file(installed(file))) << file;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        const fs::path icon = installed("share/icons/hicolor/" + size + "/apps/tarnwick.png");
        ASSERT_TRUE(fs::is_regular_file(icon)) << icon;
        // A PNG of the size its folder names: the width and height of the header chunk.
        const std::string bytes = testsupport::readFile(icon.string());
        ASSERT_GE(bytes.size(), 24u);
        EXPECT_EQ(bytes.substr(1, 3), "PNG");
        auto bigEndian = [&](std::size_t at) {
            int value = 0;
            for (std::size_t i = at; i < at + 4; ++i)
                value = value << 8 | static_cast<unsigned char>(bytes[i]);
            return value;
        };
        EXPECT_EQ(bigEndian(16), side) << size;
        EXPECT_EQ(bigEndian(20), side) << size;
    }
}

TEST_F(InstalledTree, CommandLineMakesADatabaseImportsIntoItAndReadsItBack) {
    const std::string database = shellQuote(work("orders.accdb"));
    testsupport::writeFile(work("jan.csv"), "Item,Count\nnails,12\nscrews,7\n");
    std::string output;
    ASSERT_TRUE(runCommand(cli() + " new-database " + database + " 2>&1", output)) << output;
    ASSERT_TRUE(runCommand(cli() + " import " + database + " --separator , --create 'Orders[counter]' " +
                               shellQuote(work("jan.csv")) + " 2>&1",
                           output))
        << output;
    EXPECT_TRUE(output.starts_with("Done.\nSummary:\n")) << output;
    ASSERT_TRUE(runCommand(cli() + " tables " + database, output));
    EXPECT_EQ(output, "Orders1\n");
    ASSERT_TRUE(runCommand(cli() + " dump " + database + " Orders1", output));
    EXPECT_EQ(output, "Item,Count\r\nnails,12\r\nscrews,7\r\n");
}

TEST_F(InstalledTree, MenuEntryValidatesAndNamesTheProgramIconAndAccessFileTypes) {
    const fs::path entry = installed("share/applications/tarnwick.desktop");
    const std::string text = testsupport::readFile(entry.string());
    EXPECT_NE(text.find("\nExec=tarnwick %f\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=tarnwick\n"), std::string::npos);
    EXPECT_TRUE(fs::exists(installed("bin/tarnwick")));
    std::smatch types;
    ASSERT_TRUE(std::regex_search(text, types, std::regex("\nMimeType=([^\n]*)\n")));
    for (const char* type : {"application/vnd.ms-access;", "application/x-msaccess;"})
        EXPECT_NE(types[1].str().find(type), std::string::npos) << type;

    std::string output;
    if (have("desktop-file-validate")) {
        EXPECT_TRUE(runCommand("desktop-file-validate " + shellQuote(entry.string()) + " 2>&1", output)) << output;
    }
    // The file types: .accdb joins .mdb under the shared database's name for Access files.
    if (have("update-mime-database")) {
        fs::create_directories(work("mime/packages"));
        fs::copy_file(installed("share/mime/packages/tarnwick.xml"), work("mime/packages/tarnwick.xml"));
        ASSERT_TRUE(runCommand("update-mime-database " + shellQuote(work("mime")) + " 2>&1", output)) << output;
        EXPECT_NE(testsupport::readFile(work("mime/globs2")).find("application/vnd.ms-access:*.accdb"),
                  std::string::npos);
    }
    if (!have("desktop-file-validate") || !have("update-mime-database"))
        GTEST_SKIP() << "desktop-file-validate or update-mime-database is missing";
}

// The manual page's source with its escapes for the minus sign and fonts taken out.
std::string manualPageSource(const fs::path& page) {
    std::string text;
    EXPECT_TRUE(runCommand("gzip -dc " + shellQuote(page.string()), text));
    text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
    return std::regex_replace(text, std::regex(R"(\\-)"), "-");
}

// The lines of one section (".SH NAME" up to the next section).
std::vector<std::string> sectionLines(const std::string& source, const std::string& name) {
    std::vector<std::string> lines;
    std::istringstream in(source);
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(".SH ", 0) == 0)
            inside = line == ".SH " + name;
        else if (inside)
            lines.push_back(line);
    }
    return lines;
}

// The first word after a bold macro (".B", ".BI", ".BR") of each line: the names the
// section's entries stand under.
std::set<std::string> entryNames(const std::vector<std::string>& lines) {
    std::set<std::string> names;
    const std::regex entry(R"(^\.B[IR]? +([^ ]+))");
    for (const std::string& line : lines) {
        std::smatch match;
        if (std::regex_search(line, match, entry))
            names.insert(match[1]);
    }
    return names;
}

TEST_F(InstalledTree, ManualPageRendersAndDocumentsEveryCommandAndOptionTheHelpNames) {
    const fs::path page = installed("share/man/man1/tarnwick-cli.1.gz");
    // What the help and the usage lines of each command print.
    std::string help;
    ASSERT_TRUE(runCommand(cli() + " --help", help));
    std::set<std::string> commands;
    const std::regex commandLine(R"(tarnwick-cli ([a-z][a-z-]*))");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), commandLine); it != std::sregex_iterator(); ++it)
        commands.insert((*it)[1]);
    ASSERT_GE(commands.size(), 5u) << help;
    std::string printed = help;
    for (const std::string& command : commands) {
        std::string usage;
        runCommand(cli() + " " + command + " 2>&1", usage); // no arguments: its usage line
        printed += usage;
    }
    std::set<std::string> options;
    const std::regex option(R"(--[a-z][a-z-]*)");
    for (auto it = std::sregex_iterator(printed.begin(), printed.end(), option); it != std::sregex_iterator(); ++it)
        options.insert(it->str());
    ASSERT_GE(options.size(), 7u) << printed;

    const std::string source = manualPageSource(page);
    const std::set<std::string> documentedCommands = entryNames(sectionLines(source, "COMMANDS"));
    for (const std::string& command : commands)
        EXPECT_TRUE(documentedCommands.count(command)) << "command " << command << " missing from the manual page";
    const std::set<std::string> documentedOptions = entryNames(sectionLines(source, "OPTIONS"));
    for (const std::string& name : options)
        EXPECT_TRUE(documentedOptions.count(name)) << "option " << name << " missing from the manual page";
    for (const char* section : {"SYNOPSIS", "DESCRIPTION", "EXIT STATUS", "ENVIRONMENT"})
        EXPECT_FALSE(sectionLines(source, section).empty()) << section;

    if (!have("man"))
        GTEST_SKIP() << "man is missing";
    std::string warnings;
    ASSERT_TRUE(
        runCommand("MANWIDTH=100 man --warnings -l " + shellQuote(page.string()) + " 2>&1 >/dev/null", warnings));
    EXPECT_EQ(warnings, "");
    std::string rendered;
    ASSERT_TRUE(runCommand("MANWIDTH=100 man -l " + shellQuote(page.string()), rendered));
    EXPECT_NE(rendered.find("tarnwick-cli - import delimited text files"), std::string::npos) << rendered;
    EXPECT_NE(rendered.find("EXIT STATUS"), std::string::npos);
}

} // namespace
