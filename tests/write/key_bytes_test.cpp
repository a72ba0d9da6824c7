#include "database/storage/write/key_bytes.h"

#include <gtest/gtest.h>

#include <numeric>
#include <utility>

namespace storage {
namespace {

std::vector<uint8_t> counting(std::size_t size, uint8_t first) {
    std::vector<uint8_t> bytes(size);
    std::iota(bytes.begin(), bytes.end(), first);
    return bytes;
}

// Keys either side of the inline capacity take every path: inline, on the heap, and
// the changes from one to the other.
TEST(KeyBytes, KeepsShortAndLongKeysThroughCopiesMovesAndAssignments) {
    for (std::size_t size :
         {std::size_t{0}, std::size_t{1}, KeyBytes::kInlineCapacity, KeyBytes::kInlineCapacity + 1, std::size_t{300}}) {
        SCOPED_TRACE(size);
        const std::vector<uint8_t> bytes = counting(size, 1);
        KeyBytes key(bytes);
        EXPECT_EQ(key, bytes);
        EXPECT_EQ(key.size(), size);

        KeyBytes copy = key;
        EXPECT_EQ(copy, bytes);
        KeyBytes moved = std::move(copy);
        EXPECT_EQ(moved, bytes);
        EXPECT_TRUE(copy.empty()); // a moved-from key is left empty

        for (std::size_t other : {std::size_t{3}, std::size_t{100}}) {
            KeyBytes target(counting(other, 9));
            target = key;
            EXPECT_EQ(target, bytes);
            KeyBytes moveTarget(counting(other, 9));
            moveTarget = std::move(target);
            EXPECT_EQ(moveTarget, bytes);
        }
    }
}

TEST(KeyBytes, AssignsAPartOfItsOwnBytes) {
    KeyBytes key(counting(100, 0));
    key.assign(key.data() + 10, key.data() + 20); // from the heap into the object
    EXPECT_EQ(key, counting(10, 10));
    key.assign(key.data() + 2, key.data() + 5); // inline, overlapping
    EXPECT_EQ(key, counting(3, 12));
}

TEST(KeyBytes, ComparesByContentAndLength) {
    EXPECT_EQ(KeyBytes({1, 2, 3}), KeyBytes({1, 2, 3}));
    EXPECT_NE(KeyBytes({1, 2, 3}), KeyBytes({1, 2}));
    EXPECT_NE(KeyBytes(counting(40, 0)), KeyBytes(counting(40, 1)));
}

} // namespace
} // namespace storage
