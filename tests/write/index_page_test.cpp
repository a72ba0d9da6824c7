#include "database/storage/write/index_page.h"

#include "write_test_support.h"

#include <gtest/gtest.h>

namespace storage {
namespace {

using write_test::hex;
using write_test::toHex;

IndexEntry entry(std::vector<uint8_t> key, uint32_t page, uint8_t row, uint32_t child = 0) {
    return IndexEntry{std::move(key), page, row, child};
}

// Long keys sharing a 40-byte prefix, enough of them to need prefix compression.
std::vector<IndexEntry> sharedPrefixEntries(std::size_t count, bool node) {
    std::vector<IndexEntry> entries;
    for (std::size_t i = 0; i < count; ++i) {
        std::vector<uint8_t> key(40, 0x7F);
        key.push_back(static_cast<uint8_t>(i >> 8));
        key.push_back(static_cast<uint8_t>(i));
        entries.push_back(entry(key, 100 + static_cast<uint32_t>(i / 200), static_cast<uint8_t>(i % 200),
                                node ? 500 + static_cast<uint32_t>(i) : 0));
    }
    return entries;
}

TEST(IndexPage, AnEmptyRootIsWhatAccessWrites) {
    IndexPage root;
    root.owner = 0x25;
    auto bytes = serializeIndexPage(root);
    ASSERT_TRUE(bytes.has_value());
    std::vector<uint8_t> expected(4096, 0);
    const auto header = hex("04 01 20 0E 25 00 00 00");
    std::copy(header.begin(), header.end(), expected.begin());
    EXPECT_EQ(*bytes, expected);
}

TEST(IndexPage, EntryMaskMarksWhereEachEntryEnds) {
    IndexPage page;
    for (uint8_t i = 0; i < 3; ++i)
        page.entries.push_back(entry(std::vector<uint8_t>(9, static_cast<uint8_t>(0x10 + i)), 0x3E, i));
    auto bytes = serializeIndexPageWithPrefix(page, 0);
    ASSERT_TRUE(bytes.has_value());
    EXPECT_EQ(toHex(Bytes(*bytes).subspan(0x1B, 6)), "00 20 00 04 80 00"); // ends at 13, 26, 39
    EXPECT_EQ(readU16(*bytes, 2), 4096 - 0x1E0 - 39);
    EXPECT_EQ(toHex(Bytes(*bytes).subspan(0x1E0 + 9, 4)), "00 00 3E 00"); // page big-endian, then row
}

TEST(IndexPage, PagesReadBackAsWritten) {
    const struct {
        bool leaf;
        std::size_t entries;
        std::size_t expectedPrefix;
    } cases[] = {
        {true, 0, 0}, {true, 1, 0}, {true, 50, 0}, {true, 120, 41}, {false, 3, 0}, {false, 100, 41},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.entries) + (c.leaf ? " leaf" : " node"));
        IndexPage page;
        page.leaf = c.leaf;
        page.owner = 17;
        page.previous = 3;
        page.next = 9;
        page.childTail = c.leaf ? 0 : 777;
        page.entries = sharedPrefixEntries(c.entries, !c.leaf);
        EXPECT_EQ(chooseIndexPrefix(page), c.expectedPrefix);
        auto bytes = serializeIndexPage(page);
        ASSERT_TRUE(bytes.has_value());
        auto parsed = parseIndexPage(*bytes, 1);
        ASSERT_TRUE(parsed.hasValue()) << parsed.error().description;
        EXPECT_EQ(parsed->entries, page.entries);
        EXPECT_EQ(parsed->leaf, page.leaf);
        EXPECT_EQ(parsed->owner, 17u);
        EXPECT_EQ(parsed->previous, 3u);
        EXPECT_EQ(parsed->next, 9u);
        EXPECT_EQ(parsed->childTail, page.childTail);
        EXPECT_EQ(parsed->prefixLength, c.entries == 0 ? 0 : c.expectedPrefix);
    }
}

TEST(IndexPage, OverfullPagesAndBadPrefixesAreNotWritten) {
    IndexPage page;
    page.entries = sharedPrefixEntries(1000, false); // 1000 x 6 bytes past the prefix: too much
    EXPECT_FALSE(indexPageFits(page));
    EXPECT_FALSE(serializeIndexPage(page).has_value());
    page.entries.resize(3);
    EXPECT_FALSE(serializeIndexPageWithPrefix(page, 43).has_value()); // longer than what the entries share
}

TEST(IndexPage, DamagedPagesAreReported) {
    IndexPage page;
    page.entries = {entry({0x7F, 1}, 1, 0), entry({0x7F, 2}, 1, 1)};
    auto bytes = *serializeIndexPageWithPrefix(page, 0);
    auto wrongType = bytes;
    wrongType[0] = 0x01;
    auto longPrefix = bytes;
    longPrefix[0x18] = 30;
    auto shortEntry = bytes;
    shortEntry[0x1B] = 0x04; // an entry ending at 2, shorter than a row reference
    for (const std::vector<uint8_t>& damaged : {wrongType, longPrefix, shortEntry}) {
        auto parsed = parseIndexPage(damaged, 7);
        ASSERT_FALSE(parsed.hasValue());
        EXPECT_EQ(parsed.error().kind, ErrorKind::Corruption);
    }
}

TEST(IndexPage, SplitsKeepTheOldPagesLastEntryAndLinkSiblings) {
    IndexPage leaf;
    leaf.previous = 40;
    leaf.next = 42;
    leaf.entries = sharedPrefixEntries(7, false);
    const std::vector<IndexEntry> all = leaf.entries;
    IndexPageSplit split = splitIndexPage(leaf, 41, 50);
    EXPECT_EQ(split.newPage.entries, std::vector<IndexEntry>(all.begin(), all.begin() + 4));
    EXPECT_EQ(leaf.entries, std::vector<IndexEntry>(all.begin() + 4, all.end()));
    EXPECT_EQ(split.newPage.previous, 40u);
    EXPECT_EQ(split.newPage.next, 41u);
    EXPECT_EQ(leaf.previous, 50u);
    EXPECT_EQ(leaf.next, 42u);
    IndexEntry parent = all[3];
    parent.child = 50;
    EXPECT_EQ(split.parentEntry, parent);

    // A node's new page keeps its last child as the tail.
    IndexPage node;
    node.leaf = false;
    node.childTail = 99;
    node.entries = sharedPrefixEntries(4, true);
    const std::vector<IndexEntry> children = node.entries;
    IndexPageSplit nodeSplit = splitIndexPage(node, 60, 61);
    EXPECT_EQ(nodeSplit.newPage.entries, std::vector<IndexEntry>(children.begin(), children.begin() + 1));
    EXPECT_EQ(nodeSplit.newPage.childTail, children[1].child);
    EXPECT_EQ(nodeSplit.parentEntry.key, children[1].key);
    EXPECT_EQ(node.childTail, 99u);

    IndexPage root;
    root.entries = all;
    IndexPage below = nestIndexRoot(root, 70, all.back());
    EXPECT_FALSE(root.leaf);
    ASSERT_EQ(root.entries.size(), 1u);
    EXPECT_EQ(root.entries[0].child, 70u);
    EXPECT_EQ(root.entries[0].key, all.back().key);
    EXPECT_EQ(below.entries, all);
    EXPECT_TRUE(below.leaf);

    IndexPage single;
    single.leaf = false;
    single.childTail = 5;
    applyChildTailRule(single, all[0]);
    ASSERT_EQ(single.entries.size(), 1u);
    EXPECT_EQ(single.entries[0].child, 5u);
    EXPECT_EQ(single.childTail, 0u);
}

} // namespace
} // namespace storage
