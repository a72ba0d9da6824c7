#include "database/storage/crypto/page_codec_file.h"

#include <algorithm>
#include <cstring>

namespace storage::crypto {

PageCodecFile::PageCodecFile(File& stored, std::shared_ptr<PageCodec> codec, uint32_t pageSize)
    : m_stored(stored), m_codec(std::move(codec)), m_pageSize(pageSize) {}

PageCodecFile::PageCodecFile(std::unique_ptr<File> stored, std::shared_ptr<PageCodec> codec, uint32_t pageSize)
    : m_owned(std::move(stored)), m_stored(*m_owned), m_codec(std::move(codec)), m_pageSize(pageSize) {}

Result<std::size_t> PageCodecFile::read(uint64_t offset, std::span<uint8_t> out) {
    const uint64_t first = offset / m_pageSize * m_pageSize;
    const uint64_t end = offset + out.size();
    if (first == offset && out.size() % m_pageSize == 0) {
        // The usual case, whole pages: decoded where they land.
        Result<std::size_t> got = m_stored.read(offset, out);
        if (!got)
            return got;
        for (std::size_t at = 0; at + m_pageSize <= *got; at += m_pageSize) {
            const auto page = static_cast<uint32_t>((offset + at) / m_pageSize);
            if (page != 0)
                m_codec->decode(page, out.subspan(at, m_pageSize));
        }
        return got;
    }
    // Part of a page: the pages around it are read and decoded whole.
    const uint64_t last = (end + m_pageSize - 1) / m_pageSize * m_pageSize;
    std::vector<uint8_t> pages(static_cast<std::size_t>(last - first));
    Result<std::size_t> got = read(first, pages);
    if (!got)
        return got;
    const uint64_t available = std::min<uint64_t>(first + *got, end);
    if (available <= offset)
        return std::size_t{0};
    const auto length = static_cast<std::size_t>(available - offset);
    std::memcpy(out.data(), pages.data() + (offset - first), length);
    return length;
}

void PageCodecFile::encodePages(uint64_t offset, std::span<uint8_t> data) {
    for (std::size_t at = 0; at + m_pageSize <= data.size(); at += m_pageSize) {
        const auto page = static_cast<uint32_t>((offset + at) / m_pageSize);
        if (page != 0)
            m_codec->encode(page, data.subspan(at, m_pageSize));
    }
}

Status PageCodecFile::write(uint64_t offset, std::span<const uint8_t> data) {
    const uint64_t first = offset / m_pageSize * m_pageSize;
    const uint64_t end = offset + data.size();
    const uint64_t last = (end + m_pageSize - 1) / m_pageSize * m_pageSize;
    m_buffer.assign(static_cast<std::size_t>(last - first), 0);
    if (first != offset || end != last) {
        // Part of a page: what the rest of the pages now hold comes first.
        std::vector<uint8_t> around(m_buffer.size());
        Result<std::size_t> got = read(first, around);
        if (!got)
            return got.error();
        std::memcpy(m_buffer.data(), around.data(), *got);
    }
    std::memcpy(m_buffer.data() + (offset - first), data.data(), data.size());
    encodePages(first, m_buffer);
    return m_stored.write(first, m_buffer);
}

Status PageCodecFile::writeGathered(uint64_t offset, std::span<const std::span<const uint8_t>> pieces) {
    std::size_t total = 0;
    bool wholePages = offset % m_pageSize == 0;
    for (std::span<const uint8_t> piece : pieces) {
        wholePages = wholePages && piece.size() % m_pageSize == 0;
        total += piece.size();
    }
    if (!wholePages)
        return File::writeGathered(offset, pieces);
    m_buffer.resize(total);
    std::size_t at = 0;
    for (std::span<const uint8_t> piece : pieces) {
        std::memcpy(m_buffer.data() + at, piece.data(), piece.size());
        at += piece.size();
    }
    encodePages(offset, m_buffer);
    return m_stored.write(offset, m_buffer);
}

} // namespace storage::crypto
