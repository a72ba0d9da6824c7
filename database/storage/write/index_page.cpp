// Index pages, Jet 4 and ACE: 0x03 node, 0x04 leaf.
//
//   offset  size  meaning
//   0x00    1     page type
//   0x01    1     0x01
//   0x02    2     free space = page size - (0x1E0 + entry data)
//   0x04    4     definition page of the table
//   0x08    4     0
//   0x0C    4     previous page on this level (0 = none)
//   0x10    4     next page on this level
//   0x14    4     child tail (node pages)
//   0x18    2     prefix length P: every entry but the first leaves out its first P bytes
//   0x1A    1     unknown: 0, kept as read
//   0x1B    453   entry mask: bit p (LSB first) set where an entry ends at p
//   0x1E0   ...   entries: key, row page (3, big-endian), row (1)[, child page (4, big-endian)]

#include "database/storage/write/index_page.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace storage {

namespace {

constexpr std::size_t kFreeSpaceOffset = 0x02;
constexpr std::size_t kOwnerOffset = 0x04;
constexpr std::size_t kPreviousOffset = 0x0C;
constexpr std::size_t kNextOffset = 0x10;
constexpr std::size_t kTailOffset = 0x14;
constexpr std::size_t kPrefixOffset = 0x18;
constexpr std::size_t kUnknownOffset = 0x1A;
constexpr std::size_t kMaskOffset = 0x1B;
constexpr std::size_t kRowReferenceSize = 4;
constexpr std::size_t kChildSize = 4;

uint32_t readBigEndian(Bytes bytes, std::size_t at, std::size_t count) {
    uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i)
        value = (value << 8) | bytes[at + i];
    return value;
}

std::size_t commonPrefix(const KeyBytes& a, const KeyBytes& b) {
    const std::size_t limit = std::min(a.size(), b.size());
    std::size_t n = 0;
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

} // namespace

namespace {
// The row reference (and child page) that follows an entry's key, big-endian.
std::size_t entryReference(const IndexEntry& entry, bool leaf, uint8_t* out) {
    out[0] = static_cast<uint8_t>(entry.page >> 16);
    out[1] = static_cast<uint8_t>(entry.page >> 8);
    out[2] = static_cast<uint8_t>(entry.page);
    out[3] = entry.row;
    if (leaf)
        return kRowReferenceSize;
    for (int i = 0; i < 4; ++i)
        out[kRowReferenceSize + static_cast<std::size_t>(i)] = static_cast<uint8_t>(entry.child >> (24 - 8 * i));
    return kRowReferenceSize + kChildSize;
}
} // namespace

std::vector<uint8_t> indexEntryBytes(const IndexEntry& entry, bool leaf) {
    std::vector<uint8_t> out(entry.key.begin(), entry.key.end());
    out.push_back(static_cast<uint8_t>(entry.page >> 16));
    out.push_back(static_cast<uint8_t>(entry.page >> 8));
    out.push_back(static_cast<uint8_t>(entry.page));
    out.push_back(entry.row);
    if (!leaf)
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(static_cast<uint8_t>(entry.child >> shift));
    return out;
}

std::size_t indexEntrySize(const IndexEntry& entry, bool leaf) {
    return entry.key.size() + kRowReferenceSize + (leaf ? 0 : kChildSize);
}

std::size_t indexEntryDataSize(const IndexPage& page, std::size_t prefixLength) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < page.entries.size(); ++i)
        total += indexEntrySize(page.entries[i], page.leaf) - (i == 0 ? 0 : prefixLength);
    return total;
}

std::size_t chooseIndexPrefix(const IndexPage& page) {
    if (page.entries.size() < 2 || indexEntryDataSize(page, 0) <= kMaxIndexEntryData)
        return 0;
    return commonPrefix(page.entries.front().key, page.entries.back().key);
}

bool indexPageFits(const IndexPage& page) {
    return indexPageFits(page, indexEntryDataSize(page, 0));
}

bool indexPageFits(const IndexPage& page, std::size_t entryBytes) {
    // As chooseIndexPrefix decides, without a pass over the entries: this is asked after every insert.
    if (entryBytes <= kMaxIndexEntryData || page.entries.size() < 2)
        return entryBytes <= kMaxIndexEntryData;
    const std::size_t prefix = commonPrefix(page.entries.front().key, page.entries.back().key);
    return entryBytes - (page.entries.size() - 1) * prefix <= kMaxIndexEntryData;
}

std::optional<std::vector<uint8_t>> serializeIndexPageWithPrefix(const IndexPage& page, std::size_t prefixLength,
                                                                 uint32_t pageSize) {
    const std::size_t area = pageSize - kIndexEntriesOffset;
    if (indexEntryDataSize(page, prefixLength) > std::min(area, kMaxIndexEntryData))
        return std::nullopt;
    std::vector<uint8_t> out(pageSize, 0);
    out[0] = page.leaf ? kIndexLeafPageType : kIndexNodePageType;
    out[1] = 0x01;
    writeU32(out, kOwnerOffset, page.owner);
    writeU32(out, kPreviousOffset, page.previous);
    writeU32(out, kNextOffset, page.next);
    writeU32(out, kTailOffset, page.leaf ? 0 : page.childTail);
    writeU16(out, kPrefixOffset, page.entries.empty() ? 0 : prefixLength);
    out[kUnknownOffset] = page.unknownByte;

    // Entries are written straight into the page: a page holds hundreds of them.
    const uint8_t* first = out.data() + kIndexEntriesOffset;
    std::size_t used = 0;
    for (std::size_t i = 0; i < page.entries.size(); ++i) {
        const IndexEntry& entry = page.entries[i];
        uint8_t reference[kRowReferenceSize + kChildSize];
        const std::size_t referenceLength = entryReference(entry, page.leaf, reference);
        const std::size_t length = entry.key.size() + referenceLength;
        const auto byteAt = [&](std::size_t at) {
            return at < entry.key.size() ? entry.key[at] : reference[at - entry.key.size()];
        };
        const std::size_t skip = i == 0 ? 0 : prefixLength;
        if (length < skip)
            return std::nullopt;
        for (std::size_t at = 0; at < skip; ++at)
            if (byteAt(at) != first[at])
                return std::nullopt;
        uint8_t* to = out.data() + kIndexEntriesOffset + used;
        if (skip < entry.key.size())
            std::memcpy(to, entry.key.data() + skip, entry.key.size() - skip);
        for (std::size_t at = std::max(skip, entry.key.size()); at < length; ++at)
            to[at - skip] = reference[at - entry.key.size()];
        used += length - skip;
        out[kMaskOffset + used / 8] |= static_cast<uint8_t>(1u << (used % 8));
    }
    writeU16(out, kFreeSpaceOffset, pageSize - kIndexEntriesOffset - used);
    return out;
}

std::optional<std::vector<uint8_t>> serializeIndexPage(const IndexPage& page, uint32_t pageSize) {
    return serializeIndexPageWithPrefix(page, chooseIndexPrefix(page), pageSize);
}

Result<IndexPage> parseIndexPage(Bytes bytes, uint32_t pageNumber, std::vector<IndexEntry> room) {
    const auto damaged = [pageNumber](std::size_t offset, const std::string& check) {
        return Error{3049,
                     "index page " + std::to_string(pageNumber) + ", offset " + std::to_string(offset) + ": " + check,
                     ErrorKind::Corruption};
    };
    if (bytes.size() <= kIndexEntriesOffset)
        return damaged(0, "shorter than an index page header");
    if (bytes[0] != kIndexNodePageType && bytes[0] != kIndexLeafPageType)
        return damaged(0, "not an index page (type " + std::to_string(bytes[0]) + ")");
    IndexPage page;
    page.leaf = bytes[0] == kIndexLeafPageType;
    page.owner = readU32(bytes, kOwnerOffset);
    page.previous = readU32(bytes, kPreviousOffset);
    page.next = readU32(bytes, kNextOffset);
    page.childTail = readU32(bytes, kTailOffset);
    page.prefixLength = readU16(bytes, kPrefixOffset);
    page.unknownByte = bytes[kUnknownOffset];
    const std::size_t tail = kRowReferenceSize + (page.leaf ? 0 : kChildSize);
    const std::size_t area = bytes.size() - kIndexEntriesOffset;

    // Bit p of the mask is set where an entry ends at p, for p from 1 to the last position.
    const std::size_t last = std::min(area, (kIndexEntriesOffset - kMaskOffset) * 8 - 1);
    const auto maskByte = [&](std::size_t at) {
        unsigned bits = bytes[kMaskOffset + at];
        if (at == 0)
            bits &= ~1u;
        if (at == last / 8)
            bits &= (2u << (last % 8)) - 1;
        return bits;
    };
    std::size_t count = 0;
    for (std::size_t at = 0; at <= last / 8; ++at)
        count += static_cast<std::size_t>(std::popcount(maskByte(at)));
    // A page holds hundreds: allocated once, with room for the entries a writer adds next.
    page.entries = std::move(room);
    page.entries.clear();
    page.entries.reserve(count + count / 4);

    Bytes first;                 // the first entry, stored whole
    std::vector<uint8_t> joined; // an entry with the prefix it leaves out put back
    std::size_t start = 0;
    for (std::size_t at = 0; at <= last / 8; ++at) {
        for (unsigned bits = maskByte(at); bits != 0; bits &= bits - 1) {
            const std::size_t position = at * 8 + static_cast<std::size_t>(std::countr_zero(bits));
            const Bytes stored = bytes.subspan(kIndexEntriesOffset + start, position - start);
            Bytes full = stored;
            if (page.entries.empty()) {
                first = stored;
            } else if (page.prefixLength > 0) {
                if (page.prefixLength > first.size())
                    return damaged(kPrefixOffset, "prefix longer than the first entry");
                joined.assign(first.begin(), first.begin() + static_cast<std::ptrdiff_t>(page.prefixLength));
                joined.insert(joined.end(), stored.begin(), stored.end());
                full = joined;
            }
            if (full.size() < tail)
                return damaged(kIndexEntriesOffset + start, "entry shorter than its row reference");
            IndexEntry& entry = page.entries.emplace_back();
            const std::size_t keyLength = full.size() - tail;
            entry.key.assign(full.data(), full.data() + keyLength);
            entry.page = readBigEndian(full, keyLength, 3);
            entry.row = full[keyLength + 3];
            if (!page.leaf)
                entry.child = readBigEndian(full, keyLength + kRowReferenceSize, kChildSize);
            start = position;
        }
    }
    return page;
}

IndexPageSplit splitIndexPage(IndexPage& page, uint32_t pageNumber, uint32_t newPageNumber,
                              std::optional<std::size_t> moved) {
    IndexPageSplit split;
    IndexPage& left = split.newPage;
    left.leaf = page.leaf;
    left.owner = page.owner;
    const auto end = static_cast<std::ptrdiff_t>(moved.value_or((page.entries.size() + 1) / 2));
    left.entries.assign(page.entries.begin(), page.entries.begin() + end);
    page.entries.erase(page.entries.begin(), page.entries.begin() + end);
    left.previous = page.previous;
    left.next = pageNumber;
    page.previous = newPageNumber;
    if (!left.entries.empty()) {
        split.parentEntry = left.entries.back();
        split.parentEntry.child = newPageNumber;
    }
    if (!left.leaf)
        applyChildTailRule(left);
    return split;
}

IndexPage nestIndexRoot(IndexPage& root, uint32_t newPageNumber, const IndexEntry& maximum) {
    IndexPage below;
    below.leaf = root.leaf;
    below.owner = root.owner;
    below.entries = std::move(root.entries);
    below.childTail = root.childTail;
    root.leaf = false;
    root.entries.clear();
    root.childTail = 0;
    root.previous = 0;
    root.next = 0;
    IndexEntry entry = maximum;
    entry.child = newPageNumber;
    root.entries.push_back(entry);
    return below;
}

void applyChildTailRule(IndexPage& node, const std::optional<IndexEntry>& maximum) {
    if (node.leaf)
        return;
    const std::size_t children = node.entries.size() + (node.childTail != 0 ? 1 : 0);
    if (children >= 2 && node.childTail == 0) {
        node.childTail = node.entries.back().child;
        node.entries.pop_back();
    } else if (children == 1 && node.childTail != 0 && maximum) {
        IndexEntry entry = *maximum;
        entry.child = node.childTail;
        node.entries.push_back(entry);
        node.childTail = 0;
    }
}

} // namespace storage
