#include "filelist/folder_scan.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace filelist;
namespace fs = std::filesystem;

namespace {

class FolderScanTest : public ::testing::Test {
protected:
    void touch(const std::string& relative) {
        const fs::path path = dir.path() / relative;
        fs::create_directories(path.parent_path());
        testsupport::writeFile(path.string(), "x");
    }
    void folder(const std::string& relative) { fs::create_directories(dir.path() / relative); }
    QString root() const { return QString::fromStdString(dir.path().string()); }
    QStringList relative(const QStringList& paths) const {
        QStringList out;
        for (const QString& path : paths)
            out << path.mid(root().size());
        return out;
    }

    testsupport::TempDir dir;
};

TEST_F(FolderScanTest, AddsMatchingFilesFolderByFolderSkippingTildeNames) {
    touch("a.txt");
    touch("b.csv");
    touch("~$c.txt");
    touch("UPPER.TXT");
    touch("sub/d.txt");
    touch("~tmp/e.txt"); // a folder starting with "~" is entered
    EXPECT_EQ(relative(ScanFolder(root(), "*.txt")),
              (QStringList{"/UPPER.TXT", "/a.txt", "/sub/d.txt", "/~tmp/e.txt"}));
}

TEST_F(FolderScanTest, StarMatchesEveryNameAndHiddenFilesCountButHiddenFoldersAreNotEntered) {
    touch("noext");
    touch(".hidden.txt");
    touch("a.b.c");
    touch(".secret/inside.txt");
    EXPECT_EQ(relative(ScanFolder(root(), "*.*")), (QStringList{"/.hidden.txt", "/a.b.c", "/noext"}));
    EXPECT_EQ(ListFolderFiles(root(), "*.?"), QStringList{"a.b.c"});
    EXPECT_EQ(ListFolderFiles(root() + "/", "*.TXT"), QStringList{".hidden.txt"});
}

TEST_F(FolderScanTest, WalksInLevelOrder) {
    for (const char* name : {"R/r.txt", "R/A/a.txt", "R/B/b.txt", "R/A/A1/a1.txt", "R/B/B1/b1.txt"})
        touch(name);
    QStringList folders{root() + "/R/"};
    CollectSubfolders(folders, true);
    EXPECT_EQ(relative(folders), (QStringList{"/R/", "/R/A/", "/R/B/", "/R/A/A1/", "/R/B/B1/"}));
    EXPECT_EQ(relative(ScanFolder(root() + "/R", "*.txt")),
              (QStringList{"/R/r.txt", "/R/A/a.txt", "/R/B/b.txt", "/R/A/A1/a1.txt", "/R/B/B1/b1.txt"}));
}

TEST_F(FolderScanTest, ALinkBackIntoTheWalkDoesNotLoop) {
    touch("top/x.txt");
    folder("top/inner");
    fs::create_directory_symlink(dir.path() / "top", dir.path() / "top/inner/back");
    fs::create_directory_symlink(dir.path() / "elsewhere", dir.path() / "top/dangling");
    touch("outside/y.txt");
    fs::create_directory_symlink(dir.path() / "outside", dir.path() / "top/inner/out");
    EXPECT_EQ(relative(ScanFolder(root() + "/top", "*.txt")), (QStringList{"/top/x.txt", "/top/inner/out/y.txt"}));
}

TEST_F(FolderScanTest, AMissingFolderGivesNothing) {
    EXPECT_TRUE(ScanFolder(root() + "/nope", "*.*").isEmpty());
}

} // namespace
