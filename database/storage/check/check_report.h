#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace storage::check {

// One thing the full check found.
struct Finding {
    enum class Kind {
        Fault,   // the file contradicts its own structure: a reader or the next write may go wrong
        Warning, // a counter that Access itself leaves stale, such as a table's row count: harmless to readers
        Leak,    // pages marked used that nothing refers to: wasted space, harmless otherwise
        Skipped, // a part the check could not verify (e.g. index keys of a collation it does not know)
    };
    Kind kind = Kind::Fault;
    uint32_t page = 0;  // the page concerned; 0 when none in particular
    std::string object; // the table, index or column concerned; empty for the file
    std::string description;
};

struct CheckReport {
    std::vector<Finding> findings;
    std::vector<uint32_t> leakedPages; // ascending; also reported as Leak findings, in runs

    bool hasFaults() const;
    std::vector<Finding> faults() const;
    std::vector<Finding> warnings() const;
};

const char* kindName(Finding::Kind kind);
// "fault, page 12, Table1: ..." without a line break.
std::string describe(const Finding& finding);

// Gathers findings, keeping at most a few faults per object so that one broken index of
// a large table does not drown the rest; the number left out is reported at the end.
class FindingCollector {
public:
    static constexpr int kMaxFaultsPerObject = 20;

    void fault(uint32_t page, const std::string& object, std::string description);
    void warning(uint32_t page, const std::string& object, std::string description);
    void skipped(const std::string& object, std::string description);
    void leak(uint32_t firstPage, uint32_t count);
    CheckReport finish();

private:
    CheckReport m_report;
    std::map<std::string, int> m_faultsPerObject;
};

} // namespace storage::check
