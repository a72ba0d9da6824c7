#include "database/storage/check/database_check.h"

#include "database/storage/check/check_context.h"
#include "database/storage/check/data_page_check.h"
#include "database/storage/check/page_owners.h"
#include "database/storage/check/table_check.h"
#include "database/storage/check/usage_map_layout.h"

#include <optional>

namespace storage::check {

namespace {

const std::string kGlobalMap = "the global usage map";

void checkGlobalUsage(PageReader& pages, const GlobalUsage& usage, const PageOwners& owners,
                      FindingCollector& findings) {
    uint32_t leakStart = 0, leakLength = 0;
    for (uint32_t page = 0; page < pages.pageCount(); ++page) {
        const bool referred = owners.claimed(page);
        if (referred && !usage.used[page])
            findings.fault(page, owners.ownerOf(page), "in use, but marked free in the global usage map");
        if (!referred && usage.used[page]) {
            if (leakLength == 0)
                leakStart = page;
            ++leakLength;
        } else if (leakLength > 0) {
            findings.leak(leakStart, leakLength);
            leakLength = 0;
        }
    }
    if (leakLength > 0)
        findings.leak(leakStart, leakLength);
}

} // namespace

CheckReport checkDatabase(Database& database) {
    PageReader& pages = database.pages();
    FindingCollector findings;
    PageOwners owners(pages.pageCount(), findings);
    owners.claim(0, "the header page", "the file");

    std::optional<GlobalUsage> usage;
    if (auto read = readGlobalUsage(pages)) {
        usage = std::move(*read);
        for (uint32_t page : usage->mapPages)
            owners.claim(page, kGlobalMap, kGlobalMap);
        if (auto page = pages.page(1))
            checkDataPage(pages, 1, **page, kGlobalMap, findings);
    } else {
        findings.fault(1, kGlobalMap, read.error().description);
    }

    CheckContext context{pages, database.format(), owners, findings, {}};
    for (const CatalogEntry& entry : database.catalog().entries())
        if (entry.type == object_type::kLocalTable)
            checkTable(context, entry);

    if (usage)
        checkGlobalUsage(pages, *usage, owners, findings);
    return findings.finish();
}

} // namespace storage::check
