#pragma once

#include "database/storage/format/bytes.h"
#include "database/storage/format/header.h"
#include "database/storage/status.h"
#include "database/storage/write/key_bytes.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace storage {

inline constexpr uint8_t kIndexNodePageType = 0x03;
inline constexpr uint8_t kIndexLeafPageType = 0x04;
inline constexpr std::size_t kIndexEntriesOffset = 0x1E0;
inline constexpr std::size_t kMaxIndexEntryData = 3616; // the entry area of a 4096-byte page

// One entry: the key and the row it names; node entries also name the
// child page whose subtree ends with this key and row.
struct IndexEntry {
    KeyBytes key;
    uint32_t page = 0;
    uint8_t row = 0;
    uint32_t child = 0; // node pages only
    bool operator==(const IndexEntry&) const = default;
};

struct IndexPage {
    bool leaf = true;
    uint32_t owner = 0;    // definition page of the table
    uint32_t previous = 0; // siblings on the same level, 0 = none
    uint32_t next = 0;
    uint32_t childTail = 0; // node pages: the last child, which has no entry; 0 = none
    std::vector<IndexEntry> entries;
    std::size_t prefixLength = 0; // as read; serializing chooses or is told its own
    // Byte 0x1A, meaning unknown: 0 on new pages, 01 on some node pages Access wrote; kept when rewritten.
    uint8_t unknownByte = 0;
};

// An entry's bytes: key, row page (3 bytes big-endian), row, and for node
// entries the child page (4 bytes big-endian).
std::vector<uint8_t> indexEntryBytes(const IndexEntry& entry, bool leaf);

// Entry order: key bytes, then page, then row (unsigned byte-wise, a prefix first).
// Inline and byte by byte: it decides every search of a page, and keys mostly differ early.
inline bool indexEntryLess(const IndexEntry& a, const IndexEntry& b) {
    const uint8_t* x = a.key.data();
    const uint8_t* y = b.key.data();
    const std::size_t common = std::min(a.key.size(), b.key.size());
    for (std::size_t i = 0; i < common; ++i)
        if (x[i] != y[i])
            return x[i] < y[i];
    if (a.key.size() != b.key.size())
        return a.key.size() < b.key.size();
    if (a.page != b.page)
        return a.page < b.page;
    return a.row < b.row;
}

// Bytes the entries take with the first prefixLength bytes of every entry but the first left out.
std::size_t indexEntryDataSize(const IndexPage& page, std::size_t prefixLength);
// One entry's bytes on a page without a common prefix.
std::size_t indexEntrySize(const IndexEntry& entry, bool leaf);

// The prefix a writer uses: none when the entries fit without one, else the
// common prefix of the first and the last entry's key bytes.
std::size_t chooseIndexPrefix(const IndexPage& page);

// Whether the page's entries fit into one page with the best prefix.
bool indexPageFits(const IndexPage& page);
// The same for a page whose entries take `entryBytes` without a common prefix.
bool indexPageFits(const IndexPage& page, std::size_t entryBytes);

// The page's bytes: type, 01, free space, owner, 0, previous, next, child
// tail, prefix length, 0, the entry mask (a bit where each entry ends), the
// entries. Nullopt when the entries do not fit; the prefix must be shared by
// all entries' bytes.
std::optional<std::vector<uint8_t>> serializeIndexPageWithPrefix(const IndexPage& page, std::size_t prefixLength,
                                                                 uint32_t pageSize = kJet4PageSize);
// With the prefix of chooseIndexPrefix.
std::optional<std::vector<uint8_t>> serializeIndexPage(const IndexPage& page, uint32_t pageSize = kJet4PageSize);

// Reads a leaf or node page; a corruption error (page number in the text) when it contradicts itself.
// `room`: a vector whose memory the entries may take, so that reading pages in turn need not
// allocate each time.
Result<IndexPage> parseIndexPage(Bytes bytes, uint32_t pageNumber, std::vector<IndexEntry> room = {});

// Splitting a page that no longer fits. The new page takes the first half
// (rounded up) of the entries, or the first `moved`, and goes before the old one
// among its siblings, so the old page's last entry, and with it the parent's
// entry or tail pointer for the old page, stays as it is. A new node page with
// more than one child keeps its last one as its child tail.
struct IndexPageSplit {
    IndexPage newPage;
    IndexEntry parentEntry; // for the parent: the new page's largest entry, child = the new page
};
IndexPageSplit splitIndexPage(IndexPage& page, uint32_t pageNumber, uint32_t newPageNumber,
                              std::optional<std::size_t> moved = std::nullopt);

// A full root keeps its page number: its entries and tail move to a new page
// below it, and the root becomes a node with one entry, `maximum` (the
// largest entry of the whole tree) pointing to the new page.
IndexPage nestIndexRoot(IndexPage& root, uint32_t newPageNumber, const IndexEntry& maximum);

// The tail rule on a node page: with several children and no tail the last
// entry's child becomes the tail; with one child that is the tail, it
// becomes an entry again (whose key is `maximum`, the child's largest).
void applyChildTailRule(IndexPage& node, const std::optional<IndexEntry>& maximum = std::nullopt);

} // namespace storage
