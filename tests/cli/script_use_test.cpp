// What scripts rely on, through the real tarnwick-cli: passwords kept out of the process
// list, exit statuses that tell a skipped file from a done run, a clear message for a
// database that is not there, names holding NUL in a dump, and a private import log.

#include "support/commands.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace {

namespace fs = std::filesystem;
using testsupport::shellQuote;

struct Output {
    std::string text; // standard output and standard error
    int status = -1;  // the exit status; -1 when ended by a signal
};

// Runs tarnwick-cli with `environment` ("NAME=value ...") in an environment without
// TARNWICK_PASSWORD and with standard input that is no terminal.
Output run(const std::string& arguments, const std::string& environment = {}) {
    Output output;
    const std::string command = "env -u TARNWICK_PASSWORD " + environment + " " + std::string(TARNWICK_CLI) + " " +
                                arguments + " </dev/null 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::array<char, 4096> buffer{};
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe.get()))
        output.text.append(buffer.data(), n);
    const int status = pclose(pipe.release());
    output.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

std::string quoted(const std::string& path) {
    return shellQuote(path);
}

class ScriptUse : public ::testing::Test {
protected:
    std::string textFile(const std::string& name, const std::string& content) {
        const std::string path = folder.file(name);
        testsupport::writeFile(path, content);
        return path;
    }
    std::string newDatabase(const std::string& name, const std::string& flags = {}) {
        const std::string path = folder.file(name);
        EXPECT_EQ(run("new-database " + quoted(path) + " " + flags).status, 0);
        return path;
    }
    testsupport::TempDir folder;
};

TEST_F(ScriptUse, PasswordComesFromAFileTheEnvironmentOrAPromptWithoutEcho) {
    const std::string database = newDatabase("locked.mdb", "--password secret");
    const std::string rows = textFile("rows.txt", "A, B\n1, 2\n");
    EXPECT_EQ(run("import " + quoted(database) + " --password secret --create Rows " + quoted(rows)).status, 0);

    const std::string passwordFile = textFile("password.txt", "secret\r\nsecond line\n");
    EXPECT_EQ(run("tables " + quoted(database) + " --password-file " + quoted(passwordFile)).text, "Rows\n");
    EXPECT_EQ(run("dump " + quoted(database) + " Rows", "TARNWICK_PASSWORD=secret").text, "A,B\r\n1,2\r\n");
    // The flags come first: a wrong --password is not saved by the variable.
    const Output flagFirst = run("tables " + quoted(database) + " --password nope", "TARNWICK_PASSWORD=secret");
    EXPECT_EQ(flagFirst.status, 1);
    EXPECT_EQ(flagFirst.text, "Not a valid password. (Error Number = -2147217843)\n");
    // Without a terminal nobody is asked.
    EXPECT_EQ(run("tables " + quoted(database)).status, 1);

    EXPECT_EQ(run("tables " + quoted(database) + " --password x --password-file " + quoted(passwordFile)).status, 2);
    const Output unreadable = run("tables " + quoted(database) + " --password-file " + quoted(folder.file("none")));
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_NE(unreadable.text.find("Could not read the password file"), std::string::npos) << unreadable.text;

    // new-database takes the file, but not the variable meant for opening databases.
    const std::string made = folder.file("made.mdb");
    EXPECT_EQ(run("new-database " + quoted(made) + " --password-file " + quoted(passwordFile)).status, 0);
    EXPECT_EQ(run("tables " + quoted(made), "TARNWICK_PASSWORD=secret").status, 0);
    EXPECT_EQ(run("tables " + quoted(made)).status, 1);
    EXPECT_EQ(run("new-database " + quoted(folder.file("plain.mdb")), "TARNWICK_PASSWORD=secret").status, 0);
    EXPECT_EQ(run("tables " + quoted(folder.file("plain.mdb"))).status, 0);

    // On a terminal the password is asked for, and what is typed is not shown.
    int terminal = -1;
    const pid_t child = forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::unsetenv("TARNWICK_PASSWORD");
        ::execl(TARNWICK_CLI, TARNWICK_CLI, "tables", database.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string seen;
    std::array<char, 256> buffer{};
    bool answered = false;
    for (ssize_t n; (n = ::read(terminal, buffer.data(), buffer.size())) > 0;) {
        seen.append(buffer.data(), static_cast<std::size_t>(n));
        if (!answered && seen.find("Password for ") != std::string::npos && seen.ends_with(": ")) {
            ASSERT_EQ(::write(terminal, "secret\n", 7), 7);
            answered = true;
        }
    }
    ::close(terminal);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(answered) << seen;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << seen;
    EXPECT_NE(seen.find("Rows"), std::string::npos) << seen;
    EXPECT_EQ(seen.find("secret"), std::string::npos) << seen;
}

TEST_F(ScriptUse, ExitStatusTellsASkippedFileAndAppendIgnoresLetterCase) {
    const std::string database = newDatabase("db.accdb");
    const std::string three = textFile("three.txt", "A, B, C\n1, 2, 3\n");
    const std::string two = textFile("two.txt", "A, B\n4, 5\n");
    EXPECT_EQ(run("import " + quoted(database) + " --create People " + quoted(three)).status, 0);

    const Output appended = run("import " + quoted(database) + " --append PEOPLE --skip-header " + quoted(three));
    EXPECT_EQ(appended.status, 0) << appended.text;
    EXPECT_EQ(run("dump " + quoted(database) + " People").text, "A,B,C\r\n1,2,3\r\n1,2,3\r\n");

    // A column count that differs: the window's text, then "Done." for the rest, status 3.
    const Output mismatch = run("import " + quoted(database) + " --append people " + quoted(two) + " " + quoted(three));
    EXPECT_EQ(mismatch.status, 3);
    EXPECT_NE(mismatch.text.find("The columns in the text file and the columns in the table must be identical."),
              std::string::npos)
        << mismatch.text;
    EXPECT_NE(mismatch.text.find("Done.\nSummary:\n"), std::string::npos) << mismatch.text;
    EXPECT_EQ(run("dump " + quoted(database) + " People").text, "A,B,C\r\n1,2,3\r\n1,2,3\r\nA,B,C\r\n1,2,3\r\n");

    // A table already listed: passed over, the run goes on with the next file.
    EXPECT_EQ(run("import " + quoted(database) + " --create 'P[counter]' " + quoted(two)).status, 0);
    const Output listed =
        run("import " + quoted(database) + " --create 'P[counter]' " + quoted(two) + " " + quoted(three));
    EXPECT_EQ(listed.status, 3);
    EXPECT_TRUE(listed.text.starts_with("Done.\nSummary:\n")) << listed.text;
    EXPECT_NE(listed.text.find("two.txt: skipped: a table named \"P1\" already exists"), std::string::npos)
        << listed.text;
    EXPECT_EQ(run("dump " + quoted(database) + " P2").text, "A,B,C\r\n1,2,3\r\n");
    const Output onlyListed = run("import " + quoted(database) + " --create 'P[counter]' " + quoted(two));
    EXPECT_EQ(onlyListed.status, 3);
    EXPECT_TRUE(onlyListed.text.starts_with("Table(s) already exist.\nSummary:\n")) << onlyListed.text;
}

TEST_F(ScriptUse, TooFewPromptedNamesStopTheRunBeforeItStarts) {
    const std::string database = newDatabase("db.accdb");
    const std::string two = textFile("two.txt", "A, B\n1, 2\n");
    const std::string three = textFile("three.txt", "A, B, C\n1, 2, 3\n");
    const Output fewer = run("import " + quoted(database) + " --create 'T[counter]' --columns-from-prompt x,y " +
                             quoted(two) + " " + quoted(three));
    EXPECT_EQ(fewer.status, 2);
    EXPECT_NE(
        fewer.text.find("--columns-from-prompt names 2 columns, but the first line of '" + three + "' has 3 fields"),
        std::string::npos)
        << fewer.text;
    EXPECT_EQ(run("tables " + quoted(database)).text, "");

    // Enough names serve every table the run defines.
    EXPECT_EQ(run("import " + quoted(database) + " --create 'T[counter]' --columns-from-prompt x,y,z " + quoted(two) +
                  " " + quoted(three))
                  .status,
              0);
    EXPECT_EQ(run("dump " + quoted(database) + " T1").text, "x,y\r\nA,B\r\n1,2\r\n");
    EXPECT_EQ(run("dump " + quoted(database) + " T2").text, "x,y,z\r\nA,B,C\r\n1,2,3\r\n");
}

TEST_F(ScriptUse, AMissingDatabaseOrAFolderIsToldByEveryCommand) {
    const std::string rows = textFile("rows.txt", "A\n1\n");
    const std::string missing = folder.file("missing.accdb");
    for (const std::string& command :
         {"import " + quoted(missing) + " --create T " + quoted(rows), "tables " + quoted(missing),
          "dump " + quoted(missing) + " T", "check " + quoted(missing)}) {
        SCOPED_TRACE(command);
        const Output output = run(command);
        EXPECT_EQ(output.status, 1);
        EXPECT_EQ(output.text, "Could not find file '" + missing + "'. (Error Number = -2147467259)\n");
    }
    const std::string directory = folder.file("folder.accdb");
    fs::create_directory(directory);
    for (const std::string& command : {"import " + quoted(directory) + " --create T " + quoted(rows),
                                       "tables " + quoted(directory), "check " + quoted(directory)}) {
        SCOPED_TRACE(command);
        const Output output = run(command);
        EXPECT_EQ(output.status, 1);
        EXPECT_EQ(output.text, "'" + directory + "' is a folder, not a database file.\n");
    }
}

// The engine refuses such names; a file made elsewhere may hold them.
TEST_F(ScriptUse, DumpWritesNamesHoldingNulWhole) {
    const std::string database = newDatabase("db.mdb");
    const std::string rows = textFile("rows.txt", "aQb, c\n1, 2\n");
    ASSERT_EQ(run("import " + quoted(database) + " --create T " + quoted(rows)).status, 0);
    std::string bytes = testsupport::readFile(database);
    const std::string name("a\0Q\0b\0", 6); // as UTF-16 in the table definition
    const std::size_t at = bytes.find(name);
    ASSERT_NE(at, std::string::npos);
    bytes[at + 2] = '\0';
    testsupport::writeFile(database, bytes);

    const Output dump = run("dump " + quoted(database) + " T");
    EXPECT_EQ(dump.status, 0);
    EXPECT_EQ(dump.text, std::string("\"a\0b\",c\r\n1,2\r\n", 14));
}

TEST_F(ScriptUse, TheImportLogIsReadableByItsOwnerOnly) {
    const std::string database = newDatabase("db.accdb");
    const std::string empty = textFile("empty.txt", "");
    const std::string dataHome = folder.file("data");
    const Output failed =
        run("import " + quoted(database) + " --create T " + quoted(empty), "XDG_DATA_HOME=" + quoted(dataHome));
    EXPECT_EQ(failed.status, 1);
    const fs::path log = fs::path(dataHome) / "Hedgemoor" / "Tarnwick" / "import.log";
    ASSERT_TRUE(fs::exists(log)) << failed.text;
    struct stat info {};
    ASSERT_EQ(::stat(log.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    // A log left readable by an older version is closed up at the next failure.
    fs::permissions(log, fs::perms(0644));
    run("import " + quoted(database) + " --create T " + quoted(empty), "XDG_DATA_HOME=" + quoted(dataHome));
    ASSERT_EQ(::stat(log.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

} // namespace
