#include "database/storage/journal/page_memory.h"

#include <algorithm>
#include <unistd.h>

namespace storage {

std::size_t pageMemoryBudget() {
    constexpr std::size_t kMost = 256u * 1024 * 1024;
    constexpr std::size_t kLeast = 16u * 1024 * 1024; // what batches held before memory was asked
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return kLeast;
    const std::size_t physical = static_cast<std::size_t>(pages) * static_cast<std::size_t>(pageSize);
    return std::clamp(physical / 8, kLeast, kMost);
}

} // namespace storage
