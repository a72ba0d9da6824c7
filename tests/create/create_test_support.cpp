#include "create_test_support.h"

#include "database/storage/create/new_database.h"
#include "database/storage/engine/database_session.h"
#include "database/storage/sql/parser.h"

#include <gtest/gtest.h>

namespace storage::create_test {

const std::vector<FormatCase>& formatCases() {
    static const std::vector<FormatCase> cases{
        {FileFormat::Jet4, "jet4", ".mdb", "JET4", "jet4/adox_jet4.mdb"},
        {FileFormat::Ace12, "ace12", ".accdb", "ACE12", "ace12/empty2007.accdb"},
        {FileFormat::Ace14, "ace14", ".accdb", "ACE14", "ace14/empty2010.accdb"},
        {FileFormat::Ace16, "ace16", ".accdb", "ACE16", "ace16/empty2016.accdb"},
        {FileFormat::Ace17, "ace17", ".accdb", "ACE17", "ace17/empty2019.accdb"},
    };
    return cases;
}

void PrintTo(const FormatCase& format, std::ostream* out) {
    *out << format.name;
}

std::string fixturePath(const std::string& relative) {
    const std::filesystem::path path = std::filesystem::path(TARNWICK_FIXTURES_DIR) / relative;
    return std::filesystem::exists(path) ? path.string() : std::string();
}

std::string createIn(const testsupport::TempDir& dir, const FormatCase& format, const std::string& stem) {
    const std::string path = dir.file(stem + "-" + format.name + format.extension);
    NewDatabaseOptions options;
    options.format = format.format;
    const Status status = createDatabase(path, options);
    EXPECT_TRUE(status) << (status ? "" : status.error().description);
    return path;
}

void addStockTable(const std::string& path, const std::string& password) {
    auto session = DatabaseSession::open(path, OpenOptions{password}, DatabaseSession::Access::ReadWrite);
    ASSERT_TRUE(session) << session.error().description;
    for (const char* text :
         {"CREATE TABLE `Stock` (`Item` VARCHAR, `Count` VARCHAR(10))", "INSERT INTO `Stock` VALUES ('Nails', '200')",
          "INSERT INTO `Stock` VALUES ('Café crème', NULL)"}) {
        auto statement = sql::parse(text);
        ASSERT_TRUE(statement) << text;
        const Status status = (*session)->execute(*statement);
        ASSERT_TRUE(status) << text << ": " << status.error().description;
    }
    ASSERT_TRUE((*session)->close());
}

} // namespace storage::create_test
