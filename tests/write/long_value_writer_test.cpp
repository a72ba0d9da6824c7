#include "database/storage/write/long_value_writer.h"

#include "database/storage/file/memory_file.h"
#include "database/storage/table/long_value.h"
#include "database/storage/write/data_page_builder.h"
#include "write_test_support.h"

#include <gtest/gtest.h>

namespace storage {
namespace {

using write_test::hex;
using write_test::toHex;

// LVAL pages in memory, filled as the engine will: the last page while the row fits, else a new one.
class MemoryLongValuePages : public LongValueRowSink {
public:
    MemoryLongValuePages() { m_pages.emplace_back(4096, 0); } // page 0 stands for the header
    Result<RowPointer> addRow(Bytes row) override {
        if (m_pages.size() == 1 || !rowFits(m_pages.back(), row.size()))
            m_pages.push_back(newDataPage(kLongValuePageOwner));
        auto number = appendRow(m_pages.back(), row);
        if (!number)
            return Error{0, "row too large for a page", ErrorKind::Failed};
        ++m_rows;
        return RowPointer{static_cast<uint32_t>(m_pages.size() - 1), *number};
    }
    std::vector<uint8_t> read(Bytes field) {
        std::vector<uint8_t> bytes;
        for (const auto& page : m_pages)
            bytes.insert(bytes.end(), page.begin(), page.end());
        MemoryFile file(std::move(bytes));
        PageReader pages(file, "memory", 4096, static_cast<uint32_t>(m_pages.size()));
        auto value = readLongValue(pages, field, 0, 0);
        EXPECT_TRUE(value.hasValue()) << value.error().description;
        return value ? *value : std::vector<uint8_t>{};
    }
    int rows() const { return m_rows; }

private:
    std::vector<std::vector<uint8_t>> m_pages;
    int m_rows = 0;
};

TEST(LongValueWriter, HeadersCarryLengthKindAndFirstRow) {
    EXPECT_EQ(toHex(longValueHeader(LongValueKind::Inline, 2, {})), "02 00 00 80 00 00 00 00 00 00 00 00");
    EXPECT_EQ(toHex(longValueHeader(LongValueKind::SingleRow, 696, {59, 0})), "B8 02 00 40 00 3B 00 00 00 00 00 00");
    EXPECT_EQ(toHex(longValueHeader(LongValueKind::Chain, 0x123456, {0x010203, 7})),
              "56 34 12 00 07 03 02 01 00 00 00 00");
}

TEST(LongValueWriter, SizeAndRowBudgetChooseWhereTheValueGoes) {
    const struct {
        std::size_t length, budget;
        LongValueKind kind;
    } cases[] = {
        {0, 12, LongValueKind::Inline},         {64, 4000, LongValueKind::Inline},
        {65, 4000, LongValueKind::SingleRow},   {60, 71, LongValueKind::SingleRow},
        {4076, 0, LongValueKind::SingleRow},    {4077, 4000, LongValueKind::Chain},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " in " + std::to_string(c.budget));
        EXPECT_EQ(chooseLongValueKind(c.length, c.budget), c.kind);
    }
}

TEST(LongValueWriter, StoredValuesReadBackThroughTheReader) {
    for (std::size_t length : {std::size_t{0}, std::size_t{30}, std::size_t{500}, std::size_t{4076},
                               std::size_t{4072 * 2}, std::size_t{10001}}) {
        SCOPED_TRACE(length);
        std::vector<uint8_t> data(length);
        for (std::size_t i = 0; i < length; ++i)
            data[i] = static_cast<uint8_t>(i * 7 + i / 251);
        MemoryLongValuePages pages;
        auto field = storeLongValue(data, 4000, pages);
        ASSERT_TRUE(field.hasValue());
        EXPECT_EQ(field->size(), length <= 64 ? 12 + length : 12u);
        EXPECT_EQ(pages.rows(), length <= 64 ? 0 : length <= 4076 ? 1 : static_cast<int>((length + 4071) / 4072));
        EXPECT_EQ(pages.read(*field), data);
    }
}

} // namespace
} // namespace storage
