// Replays inputs that once broke the engine (found by fuzzing, kept small in
// data/*.bin): each must open or fail cleanly, and reading all of it likewise.

#include "storage_test_support.h"

#include <gtest/gtest.h>

namespace storage {
namespace {

TEST(FuzzRegression, StoredInputsFailCleanly) {
    const std::filesystem::path dir(STORAGE_TEST_DATA_DIR);
    int replayed = 0;
    for (const auto& file : std::filesystem::directory_iterator(dir)) {
        if (file.path().extension() != ".bin")
            continue;
        SCOPED_TRACE(file.path().filename().string());
        auto db = test::openBytes(test::readBytes(file.path()));
        ++replayed;
        if (!db) {
            EXPECT_TRUE(db.error().jetNumber == 3049 || db.error().jetNumber == 3343) << db.error().description;
            if (db.error().jetNumber == 3049) {
                EXPECT_NE(db.error().description.find("(page "), std::string::npos) << db.error().description;
            }
            continue;
        }
        Status status = test::readEverything(**db);
        if (!status) {
            EXPECT_EQ(status.error().jetNumber, 3049) << status.error().description;
        }
    }
    if (replayed == 0)
        GTEST_SKIP() << "no stored inputs";
}

} // namespace
} // namespace storage
