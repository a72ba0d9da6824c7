#include "database/storage/check/check_file.h"

#include "database/storage/check/database_check.h"
#include "database/storage/engine/database_session.h"

namespace storage::check {

Result<CheckReport> checkDatabaseFile(const std::string& path, const OpenOptions& options) {
    auto session = DatabaseSession::open(path, options, DatabaseSession::Access::ReadWriteIfAllowed);
    if (!session)
        return session.error();
    return checkDatabase((*session)->database());
}

} // namespace storage::check
