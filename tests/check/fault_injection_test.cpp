// Imports that fail at every file operation in turn (a crash, half-way through a write if
// that is where it falls; an I/O error; a full disk).
// After each the database is opened again, which puts back what the journal holds, and
// must be whole: the full check finds nothing the fixture did not already have, mdbtools
// reads the same rows as this engine, and the rows are those of the first statements,
// among them every statement reported successful before the last successful commit.

#include "check_test_support.h"
#include "database/storage/check/database_check.h"
#include "database/storage/engine/database_session.h"
#include "faulty_files.h"
#include "import_scenarios.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>

namespace checktest {
namespace {

namespace fs = std::filesystem;
using storage::DatabaseSession;
using Access = DatabaseSession::Access;

struct Baseline {
    std::vector<std::string> faults; // the fixture's own (Access's oddities)
    std::vector<uint32_t> leakedPages;
    std::vector<std::optional<Rows>> rows; // compared cells, by scenario table
};

std::vector<std::optional<Rows>> comparedRows(const ImportScenario& scenario, storage::Database& database) {
    std::vector<std::optional<Rows>> out;
    for (std::size_t t = 0; t < scenario.tables.size(); ++t) {
        std::optional<Rows> rows = engineRows(database, scenario.tables[t]);
        out.push_back(rows ? std::optional<Rows>(project(*rows, scenario.compared[t])) : std::nullopt);
    }
    return out;
}

Baseline baselineOf(const ImportScenario& scenario, const testsupport::TempDir& folder) {
    const std::string path = copyFixture(scenario.fixture, folder, "baseline.mdb");
    auto database = storage::Database::open(path, scenario.options());
    if (!database) {
        ADD_FAILURE() << database.error().description;
        return {};
    }
    const storage::check::CheckReport report = storage::check::checkDatabase(**database);
    return {faultTexts(report), report.leakedPages, comparedRows(scenario, **database)};
}

struct RunOutcome {
    std::size_t succeeded = 0; // statements reported successful, from the first on
    std::size_t durable = 0;   // of them, those a successful commit covered
    bool finished = false;     // every statement and every close succeeded
};

// A session commits its batch within a statement once it is this old (it waits 500 ms);
// a statement failing after that may have failed in the commit, dropping the batch.
constexpr auto kBatchMayBeDue = std::chrono::milliseconds(400);

// Executes the statements as the importer does (it stops at the first failure and closes
// the connection), a new session every scenario.statementsPerSession statements.
RunOutcome runImport(const ImportScenario& scenario, const std::string& path, Faults& faults) {
    RunOutcome outcome;
    std::size_t next = 0;
    while (next < scenario.statements.size()) {
        auto session = DatabaseSession::open(path, scenario.options(), Access::ReadWrite, faultyLayer(path, faults));
        if (!session)
            return outcome;
        auto batchStarted = std::chrono::steady_clock::now();
        const std::size_t end = std::min(next + scenario.statementsPerSession, scenario.statements.size());
        for (; next < end; ++next) {
            const int removals = faults.journalRemovals();
            if (!(*session)->execute(scenario.statements[next].parsed)) {
                const bool batchMayBeLost = std::chrono::steady_clock::now() - batchStarted >= kBatchMayBeDue;
                if ((*session)->close() && !batchMayBeLost)
                    outcome.durable = outcome.succeeded;
                return outcome;
            }
            ++outcome.succeeded;
            if (faults.journalRemovals() > removals) { // committed within the statement
                outcome.durable = outcome.succeeded;
                batchStarted = std::chrono::steady_clock::now();
            }
        }
        if (!(*session)->close())
            return outcome;
        outcome.durable = outcome.succeeded;
    }
    outcome.finished = true;
    return outcome;
}

std::string describeRows(const std::vector<std::optional<Rows>>& tables) {
    std::string text;
    for (const auto& rows : tables)
        text += rows ? std::to_string(rows->size()) + " rows; " : std::string("no table; ");
    return text;
}

// Opens the database again (recovery), then checks it as the header comment says.
class RecoveryCheck {
public:
    RecoveryCheck(const ImportScenario& scenario, const Baseline& baseline)
        : m_scenario(scenario), m_baseline(baseline) {}

    void verify(const std::string& path, const RunOutcome& outcome) {
        {
            auto session = DatabaseSession::open(path, m_scenario.options(), Access::ReadWrite);
            ASSERT_TRUE(session) << session.error().description;
            ASSERT_TRUE((*session)->close());
        }
        ASSERT_FALSE(fs::exists(path + "-journal"));
        // The checks depend on the file's bytes only: a file seen before needs only its prefix compared.
        std::string bytes = testsupport::readFile(path);
        auto seen = m_statesSeen.find(bytes);
        if (seen == m_statesSeen.end()) {
            const std::optional<std::size_t> reflected = inspect(path, outcome);
            if (!reflected)
                return;
            seen = m_statesSeen.emplace(std::move(bytes), *reflected).first;
        }
        EXPECT_GE(seen->second, outcome.durable) << "statements reported durable are missing";
        EXPECT_LE(seen->second, outcome.succeeded) << "a statement that failed left its row";
        ++m_outcomes[seen->second];
    }

    // How many runs left the first k statements, by k.
    const std::map<std::size_t, int>& outcomes() const { return m_outcomes; }

private:
    // The full check, this engine's rows against the statements and against mdbtools; the
    // number of statements the rows are those of.
    std::optional<std::size_t> inspect(const std::string& path, const RunOutcome& outcome) {
        auto database = storage::Database::open(path, m_scenario.options());
        EXPECT_TRUE(database) << database.error().description;
        if (!database)
            return std::nullopt;
        const storage::check::CheckReport report = storage::check::checkDatabase(**database);
        EXPECT_EQ(faultTexts(report), m_baseline.faults);
        EXPECT_EQ(report.leakedPages, m_baseline.leakedPages);
        const std::vector<std::optional<Rows>> actual = comparedRows(m_scenario, **database);
        database->reset();

        std::optional<std::size_t> reflected;
        for (std::size_t k = 0; k <= m_scenario.statements.size() && !reflected; ++k)
            if (m_scenario.expectedAfter(k, m_baseline.rows) == actual)
                reflected = k;
        EXPECT_TRUE(reflected) << "the rows (" << describeRows(actual) << ") are not those of the first "
                               << outcome.durable << " to " << outcome.succeeded << " statements";
        compareWithMdbtools(path, actual);
        return reflected;
    }

    void compareWithMdbtools(const std::string& path, const std::vector<std::optional<Rows>>& ours) {
        if (!haveMdbtools() || !m_scenario.password.empty())
            return;
        for (std::size_t t = 0; t < m_scenario.tables.size(); ++t) {
            if (!ours[t])
                continue;
            std::optional<Rows> theirs = mdbtoolsRows(path, m_scenario.tables[t]);
            ASSERT_TRUE(theirs) << "mdb-export cannot read " << m_scenario.tables[t];
            EXPECT_EQ(project(*theirs, m_scenario.compared[t]), *ours[t]) << m_scenario.tables[t];
        }
    }

    const ImportScenario& m_scenario;
    const Baseline& m_baseline;
    std::map<std::string, std::size_t> m_statesSeen; // file bytes after recovery: the statements they hold
    std::map<std::size_t, int> m_outcomes;
};

// A run without faults, checked like the others: which of its file operations lengthen a file.
Faults cleanRun(const ImportScenario& scenario, const testsupport::TempDir& folder, RecoveryCheck& recovery) {
    const std::string path = copyFixture(scenario.fixture, folder, "clean.mdb");
    Faults none;
    const RunOutcome outcome = runImport(scenario, path, none);
    EXPECT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.durable, scenario.statements.size());
    if (!scenario.splitsIndexOf.empty()) {
        EXPECT_TRUE(hasSplitIndex(path, scenario.splitsIndexOf)) << "the import no longer splits an index page";
    }
    recovery.verify(path, outcome);
    return none;
}

const std::vector<ImportScenario>& scenarios() {
    static const std::vector<ImportScenario> all = [] {
        std::vector<ImportScenario> made{newTableWithMemo(40), appendToIndexedTables(105),
                                         newTableInEncryptedDatabase(40)};
        for (ImportScenario& scenario : made) {
            std::string failed;
            if (!scenario.parse(failed))
                ADD_FAILURE() << failed;
        }
        return made;
    }();
    return all;
}

void copyWithJournal(const std::string& from, const std::string& to) {
    fs::copy_file(from, to, fs::copy_options::overwrite_existing);
    fs::remove(to + "-journal");
    if (fs::exists(from + "-journal"))
        fs::copy_file(from + "-journal", to + "-journal");
}

// Fails the operations of the run in turn under `mode` (under a full disk only those that
// need room, as the others would not fail); after each, checks the database. After a crash
// it is checked twice: as the disk held it, and with every write since a sync lost.
void failEveryOperation(Faults::Mode mode) {
    for (const ImportScenario& scenario : scenarios()) {
        SCOPED_TRACE(scenario.name);
        if (fixturePath(scenario.fixture).empty())
            GTEST_SKIP() << "no fixture folder";
        testsupport::TempDir folder;
        const Baseline baseline = baselineOf(scenario, folder);
        RecoveryCheck recovery(scenario, baseline);
        const Faults clean = cleanRun(scenario, folder, recovery);
        ASSERT_GT(clean.operations(), 20);
        for (int failAt = 1; failAt <= clean.operations(); ++failAt) {
            if (mode == Faults::Mode::DiskFull && !clean.grew(failAt))
                continue;
            SCOPED_TRACE("operation " + std::to_string(failAt) + " of " + std::to_string(clean.operations()));
            const std::string path = copyFixture(scenario.fixture, folder, "run.mdb");
            Faults faults(mode, failAt);
            const RunOutcome outcome = runImport(scenario, path, faults);
            ASSERT_TRUE(faults.struck()) << "the operation was never reached";
            if (mode == Faults::Mode::DiskFull) {
                // Committing needs no room (the file grew with the statements that needed it).
                EXPECT_EQ(outcome.durable, outcome.succeeded) << "a commit failed on a full disk";
            }
            if (mode == Faults::Mode::Crash) {
                const std::string kept = folder.file("kept.mdb");
                copyWithJournal(path, kept);
                if (!scenario.password.empty() && fs::exists(kept + "-journal")) {
                    // The journal keeps pages as the file stores them: encrypted.
                    EXPECT_FALSE(testsupport::holdsText(testsupport::readFile(kept + "-journal"), "name 1"));
                }
                recovery.verify(kept, outcome);
                faults.loseUnsyncedWrites();
            }
            recovery.verify(path, outcome);
            if (testing::Test::HasFatalFailure())
                return;
        }
        // The faults fell before, between and after commits: several distinct prefixes survived.
        EXPECT_GE(recovery.outcomes().size(), 3u);
        EXPECT_TRUE(recovery.outcomes().count(0)) << "no fault fell before the first commit";
    }
}

TEST(FaultInjection, ACrashAtAnyOperationLeavesTheStatementsBeforeIt) {
    failEveryOperation(Faults::Mode::Crash);
}

// The import stops at the failing statement and closes the database, which commits the
// statements before it, unless it was the commit that failed.
TEST(FaultInjection, AnIoErrorAtAnyOperationLeavesTheStatementsBeforeIt) {
    failEveryOperation(Faults::Mode::Once);
}

TEST(FaultInjection, AFullDiskKeepsEveryStatementReportedSuccessful) {
    failEveryOperation(Faults::Mode::DiskFull);
}

} // namespace
} // namespace checktest
