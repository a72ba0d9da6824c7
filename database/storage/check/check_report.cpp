#include "database/storage/check/check_report.h"

#include <algorithm>

namespace storage::check {

bool CheckReport::hasFaults() const {
    return std::any_of(findings.begin(), findings.end(),
                       [](const Finding& finding) { return finding.kind == Finding::Kind::Fault; });
}

namespace {

std::vector<Finding> ofKind(const std::vector<Finding>& findings, Finding::Kind kind) {
    std::vector<Finding> out;
    std::copy_if(findings.begin(), findings.end(), std::back_inserter(out),
                 [kind](const Finding& finding) { return finding.kind == kind; });
    return out;
}

} // namespace

std::vector<Finding> CheckReport::faults() const {
    return ofKind(findings, Finding::Kind::Fault);
}

std::vector<Finding> CheckReport::warnings() const {
    return ofKind(findings, Finding::Kind::Warning);
}

const char* kindName(Finding::Kind kind) {
    switch (kind) {
    case Finding::Kind::Fault:
        return "fault";
    case Finding::Kind::Warning:
        return "warning";
    case Finding::Kind::Leak:
        return "leak";
    case Finding::Kind::Skipped:
        return "not checked";
    }
    return "?";
}

std::string describe(const Finding& finding) {
    std::string text = kindName(finding.kind);
    if (finding.page != 0)
        text += ", page " + std::to_string(finding.page);
    if (!finding.object.empty())
        text += ", " + finding.object;
    return text + ": " + finding.description;
}

void FindingCollector::fault(uint32_t page, const std::string& object, std::string description) {
    if (++m_faultsPerObject[object] > kMaxFaultsPerObject)
        return;
    m_report.findings.push_back({Finding::Kind::Fault, page, object, std::move(description)});
}

void FindingCollector::warning(uint32_t page, const std::string& object, std::string description) {
    m_report.findings.push_back({Finding::Kind::Warning, page, object, std::move(description)});
}

void FindingCollector::skipped(const std::string& object, std::string description) {
    m_report.findings.push_back({Finding::Kind::Skipped, 0, object, std::move(description)});
}

void FindingCollector::leak(uint32_t firstPage, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        m_report.leakedPages.push_back(firstPage + i);
    m_report.findings.push_back(
        {Finding::Kind::Leak, firstPage, "",
         count == 1 ? "marked used in the global usage map, but nothing refers to it"
                    : "this and the next " + std::to_string(count - 1) +
                          " pages are marked used in the global usage map, but nothing refers to them"});
}

CheckReport FindingCollector::finish() {
    for (const auto& [object, count] : m_faultsPerObject)
        if (count > kMaxFaultsPerObject)
            m_report.findings.push_back({Finding::Kind::Fault, 0, object,
                                         std::to_string(count - kMaxFaultsPerObject) + " further faults not listed"});
    std::sort(m_report.leakedPages.begin(), m_report.leakedPages.end());
    return std::move(m_report);
}

} // namespace storage::check
