#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace cli {

// The user tables in the order the tables rowset gives them; nullopt (after a message
// on standard error) when the database does not open.
std::optional<QStringList> userTables(const QString& connectionString);

} // namespace cli
