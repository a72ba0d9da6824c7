#include "database/access_connection_string.h"
#include "database/dataaccess/connection_string.h"

#include <gtest/gtest.h>

using database::AccessConnectionString;
using database::DatabaseFields;

namespace {

struct Case {
    const char* path;
    const char* password;
    const char* expected;
};

TEST(AccessConnectionString, ChoosesTheProviderByTheLastFiveCharacters) {
    const Case cases[] = {
        {"C:\\Data\\Sales.ACCDB", "",
         "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=C:\\Data\\Sales.ACCDB;JET OLEDB:Database Password="},
        {"C:\\Data\\old.mdb", "",
         "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=C:\\Data\\old.mdb;JET OLEDB:Database Password="},
        {"/d/app.accde", "", "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=/d/app.accde;JET OLEDB:Database Password="},
        {"/d/x.accdb ", "", "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=/d/x.accdb ;JET OLEDB:Database Password="},
        {"ccdb", "", "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=ccdb;JET OLEDB:Database Password="},
        {"accdb", "", "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=accdb;JET OLEDB:Database Password="},
        {"", "", "PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=;JET OLEDB:Database Password="},
        {"/d/a.accdb", "p; w\"'",
         "Provider=Microsoft.ACE.OLEDB.12.0;Data Source=/d/a.accdb;JET OLEDB:Database Password=p; w\"'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(AccessConnectionString(DatabaseFields(c.path, c.password)).toStdString(), c.expected);
    }
}

TEST(AccessConnectionString, ParsesBackIntoProviderPathAndPassword) {
    const Case cases[] = {
        {"/my files/a;b.ACCDB", "se;cret pass", "Microsoft.ACE.OLEDB.12.0"},
        {"/old.mdb", "", "Microsoft.Jet.OLEDB.4.0"},
        {"/q'uote\".mdb", "=;=", "Microsoft.Jet.OLEDB.4.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto properties = dataaccess::parseConnectionString(
            AccessConnectionString(DatabaseFields(c.path, c.password)).toStdString());
        EXPECT_EQ(properties.provider, c.expected);
        EXPECT_EQ(properties.dataSource, c.path);
        EXPECT_EQ(properties.databasePassword, c.password);
    }
}

TEST(AccessConnectionString, ReadsTheFieldsAtEveryCall) {
    DatabaseFields fields("/d/a.mdb", "one");
    const QString first = AccessConnectionString(fields);
    fields.setPassword("two");
    EXPECT_TRUE(first.endsWith("Password=one"));
    EXPECT_TRUE(AccessConnectionString(fields).endsWith("Password=two"));
}

} // namespace
