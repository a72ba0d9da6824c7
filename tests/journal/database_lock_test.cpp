#include "database/storage/journal/database_lock.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using storage::DatabaseLock;

namespace {

using Mode = DatabaseLock::Mode;

TEST(DatabaseLock, NamesTheLockFileAfterTheDatabase) {
    EXPECT_EQ(DatabaseLock::lockFilePath("/d/Sales.accdb"), "/d/Sales.laccdb");
    EXPECT_EQ(DatabaseLock::lockFilePath("/d/Old.MDB"), "/d/Old.ldb");
    EXPECT_EQ(DatabaseLock::lockFilePath("/d.x/noext"), "/d.x/noext.ldb");
}

TEST(DatabaseLock, ReadersShareAndAWriterIsAlone) {
    testsupport::TempDir dir;
    const std::string db = dir.file("a.accdb");
    testsupport::writeFile(db, "x");
    {
        auto reader1 = DatabaseLock::acquire(db, Mode::Read);
        auto reader2 = DatabaseLock::acquire(db, Mode::Read);
        ASSERT_TRUE(reader1 && reader2);
        auto writer = DatabaseLock::acquire(db, Mode::Write);
        ASSERT_FALSE(writer);
        EXPECT_EQ(writer.error().jetNumber, 3045);
        EXPECT_EQ(writer.error().description, "Could not use '" + db + "'; file already in use.");
    }
    {
        auto writer = DatabaseLock::acquire(db, Mode::Write);
        ASSERT_TRUE(writer);
        EXPECT_TRUE(std::filesystem::exists(dir.file("a.laccdb")));
        EXPECT_FALSE(DatabaseLock::acquire(db, Mode::Read));
        EXPECT_FALSE(DatabaseLock::acquire(db, Mode::Write));
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.laccdb"))) << "our own lock file goes with the connection";
    EXPECT_TRUE(DatabaseLock::acquire(db, Mode::Write));
}

// Another process holding a user slot of the lock file, as Access does while it has
// the database open.
TEST(DatabaseLock, AUserSlotHeldByAnotherProcessMeansInUse) {
    testsupport::TempDir dir;
    const std::string db = dir.file("b.mdb");
    testsupport::writeFile(db, "x");
    testsupport::writeFile(dir.file("b.ldb"), std::string(64, '\0'));

    int ready[2];
    int release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    if (child == 0) {
        const int fd = ::open(dir.file("b.ldb").c_str(), O_RDWR);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0x10000003;
        lock.l_len = 1;
        const char ok = fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
        (void)!write(ready[1], &ok, 1);
        char done;
        (void)!read(release[0], &done, 1);
        _exit(0);
    }
    char ok = 0;
    ASSERT_EQ(read(ready[0], &ok, 1), 1);
    ASSERT_EQ(ok, 'y');
    auto writer = DatabaseLock::acquire(db, Mode::Write);
    (void)!write(release[1], "x", 1);
    waitpid(child, nullptr, 0);
    ASSERT_FALSE(writer);
    EXPECT_EQ(writer.error().jetNumber, 3045);

    // The slot is free now: the lock file was left behind, and goes when we close, as
    // it goes when the last user of Access closes.
    EXPECT_TRUE(DatabaseLock::acquire(db, Mode::Write));
    EXPECT_FALSE(std::filesystem::exists(dir.file("b.ldb")));
}

TEST(DatabaseLock, AReadOnlyFileCannotBeLockedForWriting) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    testsupport::TempDir dir;
    const std::string db = dir.file("c.accdb");
    testsupport::writeFile(db, "x");
    std::filesystem::permissions(db, std::filesystem::perms::owner_read);
    auto writer = DatabaseLock::acquire(db, Mode::Write);
    ASSERT_FALSE(writer);
    EXPECT_EQ(writer.error().jetNumber, 3027);
    EXPECT_TRUE(DatabaseLock::acquire(db, Mode::Read));
}

} // namespace
