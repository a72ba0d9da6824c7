#pragma once

#include <cstddef>

namespace storage {

// How much memory a writer's pages may take, the batch's changed pages and the pages
// kept between batches together: 256 MB, or an eighth of the machine's memory where
// that is less. A large append then fits in one batch.
std::size_t pageMemoryBudget();

} // namespace storage
