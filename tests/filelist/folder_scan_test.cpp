#include "filelist/folder_scan.h"
#include "import/local_file_names.h"
#include "import/text_rules.h"
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
              (QStringList{"/a.txt", "/UPPER.TXT", "/sub/d.txt", "/~tmp/e.txt"}));
}

// Files and folders come in the order of their names ignoring case, as Windows lists them.
TEST_F(FolderScanTest, NamesAreOrderedIgnoringCase) {
    for (const char* name : {"b.txt", "A.txt", "C.txt", "a_b.txt", "aab.txt", "Zed/z.txt", "alpha/x.txt"})
        touch(name);
    EXPECT_EQ(ListFolderFiles(root(), "*.txt"), (QStringList{"A.txt", "aab.txt", "a_b.txt", "b.txt", "C.txt"}));
    EXPECT_EQ(relative(ScanFolder(root(), "*.txt")).mid(5), (QStringList{"/alpha/x.txt", "/Zed/z.txt"}));
}

// A Latin-1 name on a UTF-8 system, a link to a sibling folder and a link back to the top:
// every file is found once, under the folder's own path, and each one opens by its entry.
TEST_F(FolderScanTest, NamesInAnyEncodingLinksAndLoopsMissNothing) {
    const std::string latin1Name = "caf\xe9.txt";
    touch(latin1Name);
    testsupport::writeFile((dir.path() / latin1Name).string(), "name\nLatin-1");
    touch("plain.txt");
    touch("z_real/z.txt");
    fs::create_directory_symlink(dir.path() / "z_real", dir.path() / "a_link");
    fs::create_directory_symlink(dir.path(), dir.path() / "z_real/back");
    testsupport::TempDir elsewhere;
    testsupport::writeFile(elsewhere.file("y.txt"), "x");
    fs::create_directory_symlink(elsewhere.path(), dir.path() / "out");

    const QStringList entries = ScanFolder(root(), "*.txt");
    const QString cafe = QStringLiteral("/caf") + QChar(char16_t(0xDCE9)) + ".txt";
    ASSERT_EQ(relative(entries), (QStringList{cafe, "/plain.txt", "/out/y.txt", "/z_real/z.txt"}));

    // The entry opens exactly the file it names, and reads as the user knows the name.
    std::optional<importer::ReadFailure> failure;
    EXPECT_EQ(importer::ReadTextLines(entries[0], &failure), (QStringList{"name", "Latin-1"}));
    EXPECT_FALSE(failure.has_value());
    EXPECT_EQ(importer::displayLocalFileName(entries[0]).mid(root().size()), "/caf\u00e9.txt");
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
