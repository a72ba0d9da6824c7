#include "storage_test_support.h"

#include "database/storage/errors.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace storage {
namespace {

using test::fixture;

const std::map<std::string, FileFormat> kFormatOfFolder = {
    {"jet4", FileFormat::Jet4},   {"ace12", FileFormat::Ace12}, {"ace14", FileFormat::Ace14},
    {"ace16", FileFormat::Ace16}, {"ace17", FileFormat::Ace17},
};

// Every fixture in a format folder opens under the ACE provider, in that format; under
// the Jet provider the ACCDB ones are refused exactly as Microsoft's provider does.
TEST(DatabaseOpen, EveryFormatFixtureOpensAndJetRefusesAccdb) {
    SKIP_WITHOUT_FIXTURES();
    int opened = 0;
    for (const auto& [folder, format] : kFormatOfFolder) {
        for (const auto& file : std::filesystem::directory_iterator(test::fixturesDir() / folder)) {
            const std::string path = file.path().string();
            SCOPED_TRACE(path);
            auto ace = Database::open(path, {});
            ASSERT_TRUE(ace) << ace.error().description;
            EXPECT_EQ((*ace)->format(), format);
            ++opened;

            auto jet = Database::open(path, {.password = {}, .engine = Engine::Jet});
            if (format == FileFormat::Jet4) {
                EXPECT_TRUE(jet);
            } else {
                ASSERT_FALSE(jet);
                EXPECT_EQ(jet.error().jetNumber, 3343);
                EXPECT_EQ(jet.error().description, "Unrecognized database format '" + path + "'.");
            }
        }
    }
    EXPECT_EQ(opened, 32);
}

TEST(DatabaseOpen, Jet3FilesAreUnrecognized) {
    SKIP_WITHOUT_FIXTURES();
    for (const char* name : {"jet3/testV1997.mdb", "jet3/nwind.mdb"}) {
        SCOPED_TRACE(name);
        for (Engine engine : {Engine::Jet, Engine::Ace}) {
            auto db = Database::open(fixture(name), {.password = {}, .engine = engine});
            ASSERT_FALSE(db);
            EXPECT_EQ(db.error().jetNumber, 3343);
            EXPECT_EQ(db.error().description, "Unrecognized database format '" + fixture(name) + "'.");
        }
    }
}

TEST(DatabaseOpen, RefusesEncryptedAccdbNamingTheScheme) {
    SKIP_WITHOUT_FIXTURES();
    const std::pair<const char*, const char*> cases[] = {
        {"encrypted/db2007-oldenc.accdb", "RC4 CryptoAPI encryption, RC4 40-bit key"},
        {"encrypted/db2007-enc.accdb", "agile encryption, AES-128 ChainingModeCBC, SHA1"},
        {"encrypted/db2013-enc.accdb", "agile encryption, AES-256 ChainingModeCBC, SHA512"},
    };
    for (const auto& [name, scheme] : cases) {
        SCOPED_TRACE(name);
        for (const char* password : {"", "Test123", "1234"}) {
            auto db = Database::open(fixture(name), {.password = password});
            ASSERT_FALSE(db);
            EXPECT_EQ(db.error().kind, ErrorKind::NotSupported);
            EXPECT_NE(db.error().description.find(scheme), std::string::npos) << db.error().description;
            EXPECT_NE(db.error().description.find("not supported yet"), std::string::npos);
        }
    }
}

TEST(DatabaseOpen, Jet4PasswordMustMatchExactly) {
    SKIP_WITHOUT_FIXTURES();
    const std::string path = fixture("encrypted/password-database.mdb");
    const std::pair<const char*, bool> cases[] = {
        {"abcd1234", true}, {"", false}, {"abcd123", false}, {"ABCD1234", false}, {"abcd12345", false},
    };
    for (const auto& [password, opens] : cases) {
        SCOPED_TRACE(password);
        for (Engine engine : {Engine::Jet, Engine::Ace}) {
            auto db = Database::open(path, {.password = password, .engine = engine});
            ASSERT_EQ(static_cast<bool>(db), opens);
            if (opens) {
                EXPECT_EQ((*db)->userTables()->size(), 1u);
            } else {
                EXPECT_EQ(db.error().jetNumber, 3031);
                EXPECT_EQ(db.error().description, "Not a valid password.");
            }
        }
    }
}

TEST(DatabaseOpen, PasswordIsIgnoredWhenTheFileHasNone) {
    SKIP_WITHOUT_FIXTURES();
    auto db = Database::open(fixture("jet4/testV2000.mdb"), {.password = "whatever"});
    EXPECT_TRUE(db);
}

TEST(DatabaseOpen, RC4EncodedJet4FileReads) {
    SKIP_WITHOUT_FIXTURES();
    auto db = Database::open(fixture("encrypted/db-enc.mdb"), {});
    ASSERT_TRUE(db) << db.error().description;
    EXPECT_TRUE((*db)->header().hasJetPageEncoding());
    EXPECT_TRUE(test::readEverything(**db));
}

TEST(DatabaseOpen, MissingFileFolderAndDirectory) {
    test::TempDir dir;
    const std::string missingFile = (dir.path() / "nothing.mdb").string();
    const std::string missingFolder = (dir.path() / "no-folder" / "nothing.accdb").string();
    for (Engine engine : {Engine::Jet, Engine::Ace}) {
        auto file = Database::open(missingFile, {.password = {}, .engine = engine});
        ASSERT_FALSE(file);
        EXPECT_EQ(file.error().jetNumber, 3024);
        EXPECT_EQ(file.error().description, "Could not find file '" + missingFile + "'.");

        auto folder = Database::open(missingFolder, {.password = {}, .engine = engine});
        ASSERT_FALSE(folder);
        EXPECT_EQ(folder.error().jetNumber, 3044);
        EXPECT_EQ(folder.error().description.rfind("'" + missingFolder + "' is not a valid path.  Make sure", 0), 0u);

        auto directory = Database::open(dir.path().string(), {.password = {}, .engine = engine});
        ASSERT_FALSE(directory);
        EXPECT_EQ(directory.error().jetNumber, 3343);
    }
}

TEST(DatabaseOpen, NotADatabase) {
    test::TempDir dir;
    const std::string path = (dir.path() / "text.mdb").string();
    {
        std::ofstream out(path);
        out << std::string(5000, 'x');
    }
    auto db = Database::open(path, {});
    ASSERT_FALSE(db);
    EXPECT_EQ(db.error().jetNumber, 3343);
    EXPECT_EQ(db.error().description, "Unrecognized database format '" + path + "'.");
}

TEST(DatabaseOpen, NoPermissionToRead) {
    SKIP_WITHOUT_FIXTURES();
    test::TempDir dir;
    const std::filesystem::path path = dir.path() / "locked.mdb";
    std::filesystem::copy_file(fixture("jet4/empty.mdb"), path);
    ::chmod(path.c_str(), 0);
    if (::access(path.c_str(), R_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore file permissions";
    auto jet = Database::open(path.string(), {.password = {}, .engine = Engine::Jet});
    ASSERT_FALSE(jet);
    EXPECT_EQ(jet.error().jetNumber, 3051);
    EXPECT_EQ(jet.error().description, "The Microsoft Jet database engine cannot open the file '" + path.string() +
                                           "'.  It is already opened exclusively by another user, or you need "
                                           "permission to view its data.");
    auto ace = Database::open(path.string(), {});
    ASSERT_FALSE(ace);
    EXPECT_EQ(ace.error().jetNumber, 3051);
    EXPECT_NE(ace.error().description.find("Microsoft Access database engine cannot open or write"), std::string::npos);
}

} // namespace
} // namespace storage
