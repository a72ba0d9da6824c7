#include "database/access_connection_string.h"

namespace database {

QString AccessConnectionString(const DatabaseLocation& location) {
    const QString path = location.path();
    const QString password = location.password();
    const QString provider = path.right(5).toLower() == QLatin1String("accdb")
                                 ? QStringLiteral("Provider=Microsoft.ACE.OLEDB.12.0;Data Source=")
                                 : QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=");
    return provider + path + QStringLiteral(";JET OLEDB:Database Password=") + password;
}

} // namespace database
