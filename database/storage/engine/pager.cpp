#include "database/storage/engine/pager.h"

#include "database/storage/format/bytes.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace storage {

// The global usage map is row 0 of page 1, a data page:
//   page  0x02 u16 free space, 0x0C u16 row count, 0x0E u16 row offsets (flags in the top 3 bits)
//   row   0 u8 map type; type 0: 1 u32 page of bit 0, 5.. bitmap (LSB first)
//                       type 1: 1.. u32 pointers to bitmap pages of 32736 pages each
// In this map a set bit means the page is free.

namespace {

constexpr uint16_t kOffsetMask = 0x1FFF;
constexpr uint32_t kPagesPerBitmapPage = 4092 * 8;

void setBit(uint8_t* bitmap, uint32_t bit, bool value) {
    if (value)
        bitmap[bit / 8] = static_cast<uint8_t>(bitmap[bit / 8] | (1u << (bit % 8)));
    else
        bitmap[bit / 8] = static_cast<uint8_t>(bitmap[bit / 8] & ~(1u << (bit % 8)));
}
bool bitSet(const uint8_t* bitmap, uint32_t bit) {
    return bitmap[bit / 8] & (1u << (bit % 8));
}

Error invalidArgument() {
    return {3001, "Invalid argument.", ErrorKind::Failed};
}

// Jet's own word for it, and what it means here.
Error pastSizeLimit() {
    return {3001, "Invalid argument.  The database would grow past 2 GB, the largest an Access database can be.",
            ErrorKind::Failed};
}

} // namespace

Pager::Pager(File& file, PageReader& reader) : m_file(file), m_reader(reader) {}

Status Pager::write(uint32_t number, std::vector<uint8_t> page) {
    if (Status status = writeChanged(number, page); !status)
        return status;
    m_reader.store(number, std::make_shared<std::vector<uint8_t>>(std::move(page)));
    return Status::ok();
}

Status Pager::writeChanged(uint32_t number, const std::vector<uint8_t>& page, std::size_t from, std::size_t length) {
    if (page.size() != pageSize() || from + length > page.size())
        return writeChanged(number, page);
    const uint64_t offset = static_cast<uint64_t>(number) * pageSize() + from;
    return m_file.write(offset, std::span(page).subspan(from, length));
}

Status Pager::writeChanged(uint32_t number, const std::vector<uint8_t>& page) {
    if (page.size() != pageSize())
        return m_reader.corrupt(number, 0, "page of the wrong size written");
    return m_file.write(static_cast<uint64_t>(number) * pageSize(), page);
}

Result<uint32_t> Pager::allocate() {
    const uint32_t number = pageCount();
    if (static_cast<uint64_t>(number + 1) * pageSize() > kMaxFileSize)
        return pastSizeLimit();
    m_reader.setPageCount(number + 1);
    if (Status status = write(number, std::vector<uint8_t>(pageSize(), 0)); !status) {
        m_reader.setPageCount(number);
        return status.error();
    }
    if (Status status = markUsed(number); !status)
        return status.error();
    return number;
}

Status Pager::markUsed(uint32_t number) {
    Result<PageHandle> handle = read(1);
    if (!handle)
        return handle.error();
    const std::vector<uint8_t>& stored = **handle;
    const uint16_t rows = readU16(stored, 0x0C);
    if (stored[0] != 0x01 || rows == 0)
        return m_reader.corrupt(1, 0, "the global usage map page is not a data page with a map row");
    const std::size_t rowStart = readU16(stored, 0x0E) & kOffsetMask;
    const std::size_t rowEnd = pageSize();
    if (rowStart < 0x0E + 2u * rows || rowEnd - rowStart < 5)
        return m_reader.corrupt(1, 0x0E, "global usage map row out of place");
    const uint8_t mapType = stored[rowStart];
    uint32_t start = readU32(stored, rowStart + 1);
    std::size_t bitmapLength = rowEnd - rowStart - 5;

    if (mapType == 0x00 && number >= start && number < start + 8 * bitmapLength) {
        // The common case, one bit in the window: changed in place, and only its byte written.
        *handle = nullptr; // a page held elsewhere would be copied before the change
        auto changing = pageToChange(1);
        if (!changing)
            return changing.error();
        setBit((*changing)->data() + rowStart + 5, number - start, false);
        return writeChanged(1, **changing, rowStart + 5 + (number - start) / 8, 1);
    }
    std::vector<uint8_t> page = stored;
    if (mapType == 0x01)
        return markUsedInReferenceMap(page, rowStart, rowEnd, number);
    if (mapType != 0x00)
        return m_reader.corrupt(1, static_cast<uint32_t>(rowStart), "unknown global usage map type");
    if (number < start)
        return Status::ok(); // below the window: counted as used already
    if (number >= start + 8 * bitmapLength) {
        // Grow the row while page 1 has room (as Access does), moving the other rows down.
        const std::size_t needed = (number - start) / 8 + 1;
        const std::size_t growth = (needed - bitmapLength + 63) / 64 * 64;
        const uint16_t freeSpace = readU16(page, 0x02);
        if (growth <= freeSpace) {
            std::size_t lowest = rowStart;
            for (uint16_t i = 0; i < rows; ++i)
                lowest = std::min<std::size_t>(lowest, readU16(page, 0x0E + 2u * i) & kOffsetMask);
            std::vector<uint8_t> oldRow(page.begin() + static_cast<std::ptrdiff_t>(rowStart), page.end());
            std::memmove(page.data() + lowest - growth, page.data() + lowest, rowStart - lowest);
            const std::size_t newStart = rowStart - growth;
            std::copy(oldRow.begin(), oldRow.end(), page.begin() + static_cast<std::ptrdiff_t>(newStart));
            std::fill(page.begin() + static_cast<std::ptrdiff_t>(newStart + oldRow.size()), page.end(), uint8_t{0xFF});
            for (uint16_t i = 0; i < rows; ++i) {
                const uint16_t entry = readU16(page, 0x0E + 2u * i);
                writeU16(page, 0x0E + 2u * i,
                         static_cast<uint16_t>(((entry & kOffsetMask) - growth) | (entry & ~kOffsetMask)));
            }
            writeU16(page, 0x02, static_cast<uint16_t>(freeSpace - growth));
            setBit(page.data() + newStart + 5, number - start, false);
            return write(1, std::move(page));
        }
        // No room: slide the window so that it ends well past the new page. Pages that
        // drop out below it are in use; the newly covered ones are free.
        const uint32_t capacity = static_cast<uint32_t>(8 * bitmapLength);
        const uint32_t newStart = (number - capacity / 2) / 8 * 8;
        std::vector<uint8_t> bitmap(bitmapLength, 0xFF);
        for (uint32_t bit = 0; bit < capacity; ++bit) {
            const uint64_t pageNumber = static_cast<uint64_t>(newStart) + bit;
            if (pageNumber < static_cast<uint64_t>(start) + capacity)
                setBit(bitmap.data(), bit,
                       bitSet(page.data() + rowStart + 5, static_cast<uint32_t>(pageNumber - start)));
        }
        std::copy(bitmap.begin(), bitmap.end(), page.begin() + static_cast<std::ptrdiff_t>(rowStart + 5));
        writeU32(page, rowStart + 1, newStart);
        start = newStart;
    }
    setBit(page.data() + rowStart + 5, number - start, false);
    return write(1, std::move(page));
}

Status Pager::markUsedInReferenceMap(std::vector<uint8_t>& mapPage, std::size_t rowStart, std::size_t rowEnd,
                                     uint32_t number) {
    const std::size_t pointer = number / kPagesPerBitmapPage;
    const std::size_t at = rowStart + 1 + 4 * pointer;
    if (at + 4 > rowEnd)
        return invalidArgument();
    uint32_t bitmapPage = readU32(mapPage, at);
    if (bitmapPage == 0) {
        // A new bitmap page starts with every page free; it is itself a page of the file.
        bitmapPage = pageCount();
        m_reader.setPageCount(bitmapPage + 1);
        std::vector<uint8_t> fresh(pageSize(), 0xFF);
        fresh[0] = 0x05;
        fresh[1] = 0x01;
        fresh[2] = fresh[3] = 0;
        writeU32(mapPage, at, bitmapPage);
        if (Status status = write(bitmapPage, std::move(fresh)); !status)
            return status;
        if (Status status = write(1, mapPage); !status)
            return status;
        if (Status status = markUsed(bitmapPage); !status)
            return status;
    }
    Result<PageHandle> handle = read(bitmapPage);
    if (!handle)
        return handle.error();
    std::vector<uint8_t> bits = **handle;
    if (bits[0] != 0x05)
        return m_reader.corrupt(bitmapPage, 0, "global usage map bitmap page has the wrong type");
    setBit(bits.data() + 4, number % kPagesPerBitmapPage, false);
    return write(bitmapPage, std::move(bits));
}

} // namespace storage
