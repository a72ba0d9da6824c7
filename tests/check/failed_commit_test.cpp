// A statement that finds its batch due (by time) commits it. When that commit fails, the
// batch is dropped and the statement reports the failure; a caller that carries on must
// find the database as the disk has it, without the dropped rows.

#include "check_test_support.h"
#include "database/storage/check/database_check.h"
#include "database/storage/engine/database_session.h"
#include "faulty_files.h"
#include "import_scenarios.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace checktest {
namespace {

using storage::DatabaseSession;

TEST(FailedCommit, LaterStatementsSeeTheDatabaseWithoutTheDroppedBatch) {
    ImportScenario scenario = appendToIndexedTables(30);
    if (fixturePath(scenario.fixture).empty())
        GTEST_SKIP() << "no fixture folder";
    std::string failed;
    ASSERT_TRUE(scenario.parse(failed)) << failed;
    testsupport::TempDir folder;
    const std::string path = copyFixture(scenario.fixture, folder, "db.accdb");
    std::vector<std::optional<Rows>> initial;
    for (std::size_t t = 0; t < scenario.tables.size(); ++t)
        initial.push_back(project(*engineRows(path, scenario.tables[t]), scenario.compared[t]));
    const CheckResult before = checkFile(path);
    ASSERT_TRUE(before.opened);

    constexpr std::size_t kDropped = 12; // statements of the batch whose commit fails
    Faults faults;
    {
        auto session = DatabaseSession::open(path, storage::OpenOptions{}, DatabaseSession::Access::ReadWrite,
                                             faultyLayer(path, faults));
        ASSERT_TRUE(session) << session.error().description;
        for (std::size_t i = 0; i < kDropped; ++i)
            ASSERT_TRUE((*session)->execute(scenario.statements[i].parsed));
        std::this_thread::sleep_for(std::chrono::milliseconds(600)); // the batch is due

        // An outage of the disk for one statement, which needs no page of its own: its commit
        // fails, at its first operation, the journal record of a page that Table1's index
        // entries (which wait for the commit) change.
        faults.arm(Faults::Mode::Crash, faults.operations() + 1);
        EXPECT_FALSE((*session)->execute(scenario.statements[kDropped].parsed));
        ASSERT_EQ(faults.firstFailure(), "write") << "the statement failed before its commit";
        EXPECT_EQ((*session)->durableStatements(), 0u);
        faults.arm(Faults::Mode::None, 0);

        for (std::size_t i = kDropped + 1; i < scenario.statements.size(); ++i)
            ASSERT_TRUE((*session)->execute(scenario.statements[i].parsed)) << i;
        ASSERT_TRUE((*session)->close());
    }
    { // recovery, should anything be left
        auto session = DatabaseSession::open(path, storage::OpenOptions{}, DatabaseSession::Access::ReadWrite);
        ASSERT_TRUE(session);
    }

    const CheckResult after = checkFile(path);
    ASSERT_TRUE(after.opened);
    EXPECT_EQ(faultTexts(after.report), faultTexts(before.report));
    EXPECT_EQ(after.report.leakedPages, before.report.leakedPages);
    ImportScenario kept = scenario;
    kept.statements.erase(kept.statements.begin(), kept.statements.begin() + kDropped + 1);
    const auto expected = kept.expectedAfter(kept.statements.size(), initial);
    for (std::size_t t = 0; t < scenario.tables.size(); ++t) {
        auto rows = engineRows(path, scenario.tables[t]);
        ASSERT_TRUE(rows) << scenario.tables[t];
        EXPECT_EQ(project(*rows, scenario.compared[t]), *expected[t]) << scenario.tables[t];
    }
}

} // namespace
} // namespace checktest
