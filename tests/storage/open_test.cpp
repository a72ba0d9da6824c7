#include "storage_test_support.h"

#include "database/storage/errors.h"
#include "database/storage/file/memory_file.h"
#include "support/temp_dir.h"

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

TEST(DatabaseOpen, Jet3FilesAreUnrecognizedAndNamed) {
    SKIP_WITHOUT_FIXTURES();
    for (const char* name : {"jet3/testV1997.mdb", "jet3/nwind.mdb"}) {
        SCOPED_TRACE(name);
        for (Engine engine : {Engine::Jet, Engine::Ace}) {
            auto db = Database::open(fixture(name), {.password = {}, .engine = engine});
            ASSERT_FALSE(db);
            EXPECT_EQ(db.error().jetNumber, 3343);
            EXPECT_EQ(db.error().description, "Unrecognized database format '" + fixture(name) +
                                                  "'.  It is an Access 97 (Jet 3) database; Tarnwick opens databases "
                                                  "of Access 2000 and later. Convert it to a later format in Access "
                                                  "first.");
        }
    }
}

struct EncryptedFixture {
    const char* name;
    const char* password;
    std::vector<std::string> tables;
    std::size_t rows; // in the first table
};

const EncryptedFixture kEncryptedFixtures[] = {
    {"encrypted/db2007-oldenc.accdb", "Test123", {"Table1"}, 1}, // RC4 CryptoAPI
    {"encrypted/db2007-enc.accdb", "Test123", {"Table1"}, 1},    // agile AES-128, SHA-1
    {"encrypted/db2013-enc.accdb", "1234", {"Customers"}, 7},    // agile AES-256, SHA-512
};

std::size_t rowsOf(Database& database, const std::string& table) {
    auto cursor = database.openTable(table);
    EXPECT_TRUE(cursor) << cursor.error().description;
    if (!cursor)
        return 0;
    std::size_t rows = 0;
    Row row;
    while (cursor->next(row))
        ++rows;
    EXPECT_TRUE(cursor->status()) << cursor->status().error().description;
    return rows;
}

TEST(DatabaseOpen, EncryptedAccdbOpensWithItsPasswordOnly) {
    SKIP_WITHOUT_FIXTURES();
    for (const EncryptedFixture& encrypted : kEncryptedFixtures) {
        SCOPED_TRACE(encrypted.name);
        const std::string path = fixture(encrypted.name);
        const std::string before = testsupport::readFile(path);
        auto db = Database::open(path, {.password = encrypted.password});
        ASSERT_TRUE(db) << db.error().description;
        EXPECT_TRUE((*db)->header().isAceEncrypted());
        EXPECT_EQ(*(*db)->userTables(), encrypted.tables);
        EXPECT_EQ(rowsOf(**db, encrypted.tables.front()), encrypted.rows);
        EXPECT_TRUE(test::readEverything(**db));

        const std::string changedCase = std::string(encrypted.password) == "1234" ? "12345" : "test123";
        for (const std::string& wrong : {std::string(), changedCase, std::string("x")}) {
            auto refused = Database::open(path, {.password = wrong});
            ASSERT_FALSE(refused);
            EXPECT_EQ(refused.error().jetNumber, 3031);
            EXPECT_EQ(refused.error().description, "Not a valid password.");
        }
        EXPECT_EQ(testsupport::readFile(path), before);
    }
}

// A copy of an encrypted fixture whose EncryptionInfo is replaced by `info`.
std::unique_ptr<File> withEncryptionInfo(const std::string& fixturePath, const std::vector<uint8_t>& info) {
    const std::string bytes = testsupport::readFile(fixturePath);
    std::vector<uint8_t> image(bytes.begin(), bytes.end());
    image[0x299] = static_cast<uint8_t>(info.size());
    image[0x29A] = static_cast<uint8_t>(info.size() >> 8);
    std::copy(info.begin(), info.end(), image.begin() + 0x29B);
    return std::make_unique<MemoryFile>(std::move(image));
}

TEST(DatabaseOpen, UnsupportedEncryptionIsRefusedByName) {
    SKIP_WITHOUT_FIXTURES();
    const std::string path = fixture("encrypted/db2013-enc.accdb");
    const std::string certificateOnly =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><encryption "
        "xmlns=\"http://schemas.microsoft.com/office/2006/encryption\"><keyData saltSize=\"16\" blockSize=\"16\" "
        "keyBits=\"256\" hashSize=\"64\" cipherAlgorithm=\"AES\" cipherChaining=\"ChainingModeCBC\" "
        "hashAlgorithm=\"SHA512\" saltValue=\"AAECAwQFBgcICQoLDA0ODw==\"/><keyEncryptors><keyEncryptor "
        "uri=\"http://schemas.microsoft.com/office/2006/keyEncryptor/certificate\"/></keyEncryptors></encryption>";
    std::vector<uint8_t> agile{4, 0, 4, 0, 0x40, 0, 0, 0};
    agile.insert(agile.end(), certificateOnly.begin(), certificateOnly.end());
    const std::pair<std::vector<uint8_t>, const char*> cases[] = {
        {{4, 0, 3, 0, 0x24, 0, 0, 0, 0, 0, 0, 0}, "extensible encryption 4.3"},
        {{1, 0, 1, 0, 0, 0, 0, 0}, "Office binary RC4"},
        {agile, "keyEncryptor/certificate"},
    };
    for (const auto& [info, scheme] : cases) {
        SCOPED_TRACE(scheme);
        auto db = Database::open(withEncryptionInfo(path, info), path, {.password = "1234"});
        ASSERT_FALSE(db);
        EXPECT_EQ(db.error().kind, ErrorKind::NotSupported);
        EXPECT_NE(db.error().description.find(scheme), std::string::npos) << db.error().description;
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
