// tarnwick-cli import killed with SIGKILL at moments spread over its run. Each time the
// database, once opened again by `tarnwick-cli tables` or `dump` (which puts back what the
// journal holds), passes the full check with no leaked page, and this engine and mdbtools
// read the same rows: the first lines of the file.

#include "check_test_support.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/journal/journal_format.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace checktest {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Starts the program with its output thrown away.
pid_t start(const std::vector<std::string>& arguments) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        std::vector<char*> argv{const_cast<char*>(TARNWICK_CLI)};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(TARNWICK_CLI, argv.data());
        _exit(127);
    }
    return pid;
}

int finish(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

std::vector<std::string> importArguments(const std::string& database, const std::string& input,
                                         const std::string& password = {}) {
    std::vector<std::string> arguments{"import",         database, "--create", "Lines", "--columns-from-prompt",
                                       "Line,Name,Note", input};
    if (!password.empty())
        arguments.insert(arguments.begin() + 2, {"--password", password});
    return arguments;
}

std::vector<std::string> writeLines(const std::string& path, int count) {
    std::vector<std::string> lines;
    std::ofstream out(path);
    for (int n = 1; n <= count; ++n) {
        lines.push_back(std::to_string(n) + ", name " + std::to_string(n) + ", note " + std::string(n % 40, 'x'));
        out << lines.back() << "\n";
    }
    return lines;
}

class ImportKill : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(TARNWICK_CLI))
            GTEST_SKIP() << "tarnwick-cli not built";
    }

    std::string newDatabase(const std::string& name, const std::string& password = {}) {
        const std::string path = folder.file(name);
        fs::remove(path);
        if (password.empty())
            EXPECT_EQ(finish(start({"new-database", path})), 0);
        else
            EXPECT_EQ(finish(start({"new-database", path, "--password", password})), 0);
        return path;
    }

    // Opens the database again as a user would, with `reopening` ("tables" or "dump"),
    // which puts back what the journal holds; checks it; the number of rows it kept,
    // which must be the first lines of the file.
    std::size_t rowsAfterRecovery(const std::string& path, const std::vector<std::string>& lines,
                                  const std::string& reopening = "tables", const std::string& password = {}) {
        if (!password.empty() && fs::exists(path + "-journal")) {
            // The journal keeps pages as the file stores them, and so does the file.
            EXPECT_FALSE(testsupport::holdsText(testsupport::readFile(path + "-journal"), "name 1"));
            EXPECT_FALSE(testsupport::holdsText(testsupport::readFile(path), "name 1"));
        }
        std::vector<std::string> command = reopening == "tables" ? std::vector<std::string>{"tables", path}
                                                                 : std::vector<std::string>{"dump", path, "Lines"};
        if (!password.empty())
            command.insert(command.end(), {"--password", password});
        const bool tableListed = finish(start(command)) == 0;
        EXPECT_FALSE(fs::exists(path + "-journal")) << "tarnwick-cli " << reopening << " left the journal";
        const CheckResult check = checkFile(path, password);
        EXPECT_TRUE(check.opened) << check.openError;
        EXPECT_EQ(faultTexts(check.report), std::vector<std::string>());
        EXPECT_EQ(check.report.leakedPages, std::vector<uint32_t>());

        const std::optional<Rows> rows = engineRows(path, "Lines", password);
        if (reopening == "tables") {
            EXPECT_TRUE(tableListed) << "tarnwick-cli tables failed after the kill";
        } else {
            EXPECT_EQ(tableListed, rows.has_value()) << "tarnwick-cli dump after the kill";
        }
        if (!rows)
            return 0; // killed before the table was made durable
        EXPECT_LE(rows->size(), lines.size());
        for (std::size_t i = 0; i < rows->size() && i < lines.size(); ++i) {
            const auto& cells = (*rows)[i];
            if (cells.size() != 3 || cells[0] + ", " + cells[1] + ", " + cells[2] != lines[i]) {
                ADD_FAILURE() << "row " << i << " is not line " << i + 1 << " of the file";
                break;
            }
        }
        if (haveMdbtools() && password.empty()) {
            EXPECT_EQ(mdbtoolsRows(path, "Lines"), rows);
        }
        return rows->size();
    }

    testsupport::TempDir folder;
};

// The number of batches made durable so far, as the journal shows it: each batch's
// journal records the length the file had before it, which grows with every commit.
class CommitWatch {
public:
    CommitWatch(std::string database) : m_journal(database + "-journal"), m_initial(fs::file_size(database)) {}

    int commits() {
        std::ifstream in(m_journal, std::ios::binary);
        std::vector<uint8_t> header(storage::journal::kHeaderSize);
        in.read(reinterpret_cast<char*>(header.data()), static_cast<std::streamsize>(header.size()));
        if (in.gcount() == static_cast<std::streamsize>(header.size()))
            if (auto decoded = storage::journal::decodeHeader(header); decoded && decoded->originalSize > m_initial)
                m_sizes.insert(decoded->originalSize);
        return static_cast<int>(m_sizes.size());
    }

private:
    std::string m_journal;
    uint64_t m_initial;
    std::set<uint64_t> m_sizes;
};

bool running(pid_t pid) {
    return waitpid(pid, nullptr, WNOHANG) == 0;
}

TEST_F(ImportKill, EveryKillLeavesACheckedPrefixOfTheFile) {
    // Calibration: how fast this build imports, so that the import killed lasts about a
    // second and a half, in which it commits (twice a second) two or three times.
    const std::string calibration = folder.file("calibration.txt");
    const std::vector<std::string> few = writeLines(calibration, 2000);
    const std::string first = newDatabase("calibration.mdb");
    const auto started = Clock::now();
    ASSERT_EQ(finish(start(importArguments(first, calibration))), 0);
    const double secondsPerLine = std::chrono::duration<double>(Clock::now() - started).count() / few.size();
    EXPECT_EQ(rowsAfterRecovery(first, few), few.size());

    const int count = std::clamp(static_cast<int>(1.5 / secondsPerLine), 2000, 300000);
    const std::string input = folder.file("lines.txt");
    const std::vector<std::string> lines = writeLines(input, count);
    int killedAfterCommit = 0, partial = 0;
    // Killed early, after the first commit, after the second; in both formats, and once
    // in an encrypted .accdb.
    const int plan[] = {0, 1, 2, 1, 1};
    for (int run = 0; run < 5; ++run) {
        const int commitsBefore = plan[run];
        const std::string password = run == 4 ? "Kill Test" : "";
        SCOPED_TRACE("killed after " + std::to_string(commitsBefore) + " commits" +
                     (password.empty() ? "" : ", encrypted"));
        const std::string path = newDatabase(run == 4       ? "killed-encrypted.accdb"
                                             : run % 2 == 0 ? "killed.mdb"
                                                            : "killed.accdb",
                                             password);
        CommitWatch watch(path);
        const pid_t pid = start(importArguments(path, input, password));
        if (commitsBefore == 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(secondsPerLine * count * 0.15));
        while (running(pid) && watch.commits() < commitsBefore)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const bool interrupted = running(pid);
        kill(pid, SIGKILL);
        finish(pid);
        const std::size_t kept = rowsAfterRecovery(path, lines, run % 2 == 0 ? "tables" : "dump", password);
        if (!interrupted) {
            EXPECT_EQ(kept, lines.size()) << "the import ended, with every row";
            continue;
        }
        if (commitsBefore > 0) {
            ++killedAfterCommit;
            EXPECT_GT(kept, 0u) << "a commit seen before the kill was lost";
        }
        if (kept > 0 && kept < lines.size())
            ++partial;
    }
    if (killedAfterCommit > 0) {
        EXPECT_GT(partial, 0) << "no kill fell between two commits";
    }
}

} // namespace
} // namespace checktest
