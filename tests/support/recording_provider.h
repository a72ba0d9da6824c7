#pragma once

// A stand-in for the Access providers: records every statement in order, answers
// column-count queries from a table of its own, and fails on request.

#include "database/dataaccess/provider.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

struct RecordingLog {
    std::vector<std::string> statements; // every statement passed to Execute, the failing one included
    std::vector<std::string> queries;    // every query opened as a record set
    std::vector<dataaccess::ConnectionProperties> opens;
    std::vector<int> openModes;
    int closes = 0;

    int failAtStatement = 0; // 1-based position in `statements` that fails; 0 for none
    dataaccess::Error statementFailure{-2147467259, "The field is too small to accept the amount of data you "
                                                    "attempted to add.  Try inserting or pasting less data."};
    std::optional<dataaccess::Error> openFailure;
    int failAtClose = 0; // 1-based number of the close that fails to make the statements durable; 0 for none
    dataaccess::Error closeFailure{-2147467259, "Disk or network error."};
    std::uint64_t durableWhenCloseFails = 0;                 // statements of the failing session that stay
    std::map<std::string, int> columnCounts;                 // by table name, for "SELECT * FROM `T`"
    std::vector<std::pair<std::string, std::string>> tables; // TABLE_NAME, TABLE_TYPE for the schema rowset
};

class RecordingProvider : public dataaccess::Provider {
public:
    explicit RecordingProvider(RecordingLog& log) : m_log(log) {}
    dataaccess::Status open(const dataaccess::ConnectionProperties& properties, int mode,
                            std::unique_ptr<dataaccess::Session>& session) override;

    // A registry that serves both Access provider names from `log`.
    static dataaccess::ProviderRegistry registry(RecordingLog& log);

private:
    RecordingLog& m_log;
};

} // namespace testsupport
