#include "database/dataaccess/connection_string.h"

#include <gtest/gtest.h>

using dataaccess::parseConnectionString;

namespace {

struct ParseCase {
    const char* text;
    const char* provider;
    const char* dataSource;
    const char* password;
};

TEST(ConnectionString, ReadsProviderPathAndPasswordAsTheProgramBuildsThem) {
    const ParseCase cases[] = {
        {"Provider=Microsoft.ACE.OLEDB.12.0;Data Source=/data/Sales.ACCDB;JET OLEDB:Database Password=",
         "Microsoft.ACE.OLEDB.12.0", "/data/Sales.ACCDB", ""},
        {"PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=/data/old.mdb;JET OLEDB:Database Password=secret",
         "Microsoft.Jet.OLEDB.4.0", "/data/old.mdb", "secret"},
        // Unescaped ";", blanks and quotes stay inside the path and the password.
        {"Provider=Microsoft.ACE.OLEDB.12.0;Data Source=/my data/a;b.accdb;JET OLEDB:Database Password=p;w d'\"",
         "Microsoft.ACE.OLEDB.12.0", "/my data/a;b.accdb", "p;w d'\""},
        // A password that itself holds the clause's text is still taken whole.
        {"Provider=x;Data Source=/d.mdb;JET OLEDB:Database Password=a;JET OLEDB:Database Password=b", "x", "/d.mdb",
         "a;JET OLEDB:Database Password=b"},
        // Keywords in any case, blanks around keywords.
        {" provider = Microsoft.Jet.OLEDB.4.0 ; data source=/x.mdb; jet oledb:database password=pw",
         "Microsoft.Jet.OLEDB.4.0", "/x.mdb", "pw"},
        // Without the password clause, and with the first Provider winning.
        {"Provider=A;Provider=B;Data Source=/y.accdb", "A", "/y.accdb", ""},
        {"", "", "", ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.text);
        const auto properties = parseConnectionString(c.text);
        EXPECT_EQ(properties.provider, c.provider);
        EXPECT_EQ(properties.dataSource, c.dataSource);
        EXPECT_EQ(properties.databasePassword, c.password);
    }
}

TEST(ConnectionString, KeepsOtherKeywordsLastOneWinning) {
    const auto properties =
        parseConnectionString("Provider=P;User ID=Admin;Mode=Read;User ID=Other;Data Source=/z.mdb");
    ASSERT_EQ(properties.others.size(), 2u);
    EXPECT_EQ(properties.others[0], (std::pair<std::string, std::string>{"user id", "Other"}));
    EXPECT_EQ(properties.others[1], (std::pair<std::string, std::string>{"mode", "Read"}));
}

} // namespace
