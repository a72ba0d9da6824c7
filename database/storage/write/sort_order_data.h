#pragma once

#include <cstdint>
#include <span>

namespace storage::sort_order_data {

// The text-index codes of U+0000-U+FFFF without the surrogates, one compressed byte
// stream per sort order; scripts/generate-sort-order-tables.py describes the format.
std::span<const uint8_t> generalLegacy();
std::span<const uint8_t> general();

} // namespace storage::sort_order_data
