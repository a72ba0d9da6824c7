#pragma once

#include "database/database_location.h"
#include "database/dataaccess/provider.h"
#include "import/import_sources.h"
#include "import/user_interface.h"

#include <QStringList>

#include <optional>

namespace database {

// The names of the user tables (TABLE_TYPE exactly "TABLE") in the order the tables
// schema rowset delivers them; an empty list for a database without user tables.
// nullopt when no file exists at `path` (no message) or when the database does not
// open or cannot be read: then a box with the description and "(Error Number = n)" has
// been shown. `path` serves only the existence test; the connection string is built
// from `location` at the moment of opening.
std::optional<QStringList> NonSystemTables(const QString& path, const DatabaseLocation& location,
                                           importer::UserInterface& ui,
                                           const dataaccess::ProviderRegistry& providers =
                                               dataaccess::ProviderRegistry::standard());

// Replaces the content of `listBox` with NonSystemTables(path) and selects the first
// item when there is one. When NonSystemTables yields nullopt the list box keeps what
// it held. `password` is accepted for the callers' sake; the connection string carries
// the password of `location`.
void AddTablesToAccessListbox(importer::TableList& listBox, const QString& path, const QString& password,
                              const DatabaseLocation& location, importer::UserInterface& ui,
                              const dataaccess::ProviderRegistry& providers =
                                  dataaccess::ProviderRegistry::standard());

} // namespace database
