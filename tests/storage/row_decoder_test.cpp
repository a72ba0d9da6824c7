// Rows decoded from hand-made bytes: the worked examples of the row layout
// and the ways a row can lie about its own offsets.

#include "database/storage/file/memory_file.h"
#include "database/storage/file/page_reader.h"
#include "database/storage/table/row_decoder.h"

#include <gtest/gtest.h>

namespace storage {
namespace {

// Table People: ID Long fixed at 0, First and Last Text in variable slots 0 and 1.
TableDefinition peopleTable() {
    TableDefinition def;
    def.firstPage = 37;
    def.maxColumns = 3;
    def.variableColumns = 2;
    ColumnDefinition id;
    id.name = "ID";
    id.typeCode = static_cast<uint8_t>(ColumnType::Long);
    id.flags = 0x03;
    id.length = 4;
    ColumnDefinition first;
    first.name = "First";
    first.typeCode = static_cast<uint8_t>(ColumnType::Text);
    first.number = 1;
    first.flags = 0x02;
    first.length = 100;
    ColumnDefinition last = first;
    last.name = "Last";
    last.number = 2;
    last.varIndex = 1;
    def.columns = {id, first, last};
    return def;
}

class RowDecoderTest : public ::testing::Test {
protected:
    MemoryFile m_file;
    PageReader m_pages{m_file, "people.mdb", 4096, 0};
};

TEST_F(RowDecoderTest, WorkedExamples) {
    const TableDefinition def = peopleTable();
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        std::vector<Value> expected;
    };
    const Case cases[] = {
        {"compressed text",
         {0x03, 0x00, 0x07, 0x00, 0x00, 0x00, 0xFF, 0xFE, 0x41, 0x6E, 0x6E, 0xFF, 0xFE, 0x4C, 0x65,
          0x65, 0x10, 0x00, 0x0B, 0x00, 0x06, 0x00, 0x02, 0x00, 0x07},
         {int32_t{7}, std::string("Ann"), std::string("Lee")}},
        {"null and uncompressed text",
         {0x03, 0x00, 0x08, 0x00, 0x00, 0x00, 0x41, 0x01, 0xF3, 0x00, 0x64, 0x00,
          0x7A, 0x01, 0x0E, 0x00, 0x06, 0x00, 0x06, 0x00, 0x02, 0x00, 0x05},
         {int32_t{8}, Value(), std::string("\xC5\x81\xC3\xB3" "d\xC5\xBA")}},
        {"empty string is not null",
         {0x03, 0x00, 0x08, 0x00, 0x00, 0x00, 0x41, 0x01, 0xF3, 0x00, 0x64, 0x00,
          0x7A, 0x01, 0x0E, 0x00, 0x06, 0x00, 0x06, 0x00, 0x02, 0x00, 0x07},
         {int32_t{8}, std::string(), std::string("\xC5\x81\xC3\xB3" "d\xC5\xBA")}},
        {"row written before columns were added",
         {0x01, 0x00, 0x09, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x01},
         {int32_t{9}, Value(), Value()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<Value> row;
        Status status = decodeRow(m_pages, def, c.bytes, {40, 0xFE7}, row);
        ASSERT_TRUE(status) << status.error().description;
        EXPECT_EQ(row, c.expected);
    }
}

TEST_F(RowDecoderTest, LyingOffsetsAreCorruption) {
    const TableDefinition def = peopleTable();
    const std::vector<uint8_t> good = {0x03, 0x00, 0x07, 0x00, 0x00, 0x00, 0xFF, 0xFE, 0x41, 0x6E, 0x6E, 0xFF, 0xFE,
                                       0x4C, 0x65, 0x65, 0x10, 0x00, 0x0B, 0x00, 0x06, 0x00, 0x02, 0x00, 0x07};
    struct Case {
        const char* what;
        std::size_t offset;
        uint8_t value;
        const char* check;
    };
    const Case cases[] = {
        {"column count makes the null mask too big", 0, 0xFF, "null mask larger than the row"},
        {"variable count too big", 22, 0x40, "variable offset table larger than the row"},
        {"end of data past its own position", 16, 0x30, "end of variable data outside the row"},
        {"value starts after the next one", 20, 0x0C, "outside the row"},
        {"value starts inside the column count", 20, 0x01, "outside the row"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> bytes = good;
        bytes[c.offset] = c.value;
        std::vector<Value> row;
        Status status = decodeRow(m_pages, def, bytes, {40, 0xFE7}, row);
        ASSERT_FALSE(status);
        EXPECT_EQ(status.error().jetNumber, 3049);
        EXPECT_NE(status.error().description.find("page 40, offset 0xFE7"), std::string::npos);
        EXPECT_NE(status.error().description.find(c.check), std::string::npos) << status.error().description;
    }
    std::vector<Value> row;
    EXPECT_FALSE(decodeRow(m_pages, def, std::vector<uint8_t>{0x03}, {40, 0}, row));
}

TEST_F(RowDecoderTest, InlineMemoAndBooleanInTheMask) {
    TableDefinition def;
    def.maxColumns = 2;
    def.variableColumns = 1;
    ColumnDefinition flag;
    flag.name = "Flag";
    flag.typeCode = static_cast<uint8_t>(ColumnType::Boolean);
    flag.flags = 0x03;
    ColumnDefinition memo;
    memo.name = "Notes";
    memo.typeCode = static_cast<uint8_t>(ColumnType::Memo);
    memo.number = 1;
    memo.flags = 0x02;
    def.columns = {flag, memo};
    // Count 2, memo header: 2 bytes inline, "T" in UTF-16, EOD 16, offset 2, v = 1, mask 0b11.
    std::vector<uint8_t> bytes = {0x02, 0x00, 0x02, 0x00, 0x00, 0x80, 0, 0, 0, 0, 0, 0, 0, 0,
                                  0x54, 0x00, 0x10, 0x00, 0x02, 0x00, 0x01, 0x00, 0x03};
    std::vector<Value> row;
    Status first = decodeRow(m_pages, def, bytes, {1, 0}, row);
    ASSERT_TRUE(first) << first.error().description;
    EXPECT_EQ(row, (std::vector<Value>{true, std::string("T")}));

    bytes.back() = 0x02; // flag false, memo present
    ASSERT_TRUE(decodeRow(m_pages, def, bytes, {1, 0}, row));
    EXPECT_EQ(row[0], Value(false));

    bytes.back() = 0x03;
    bytes[2] = 0x40; // claims 64 inline bytes in a 23-byte row
    Status status = decodeRow(m_pages, def, bytes, {1, 0}, row);
    ASSERT_FALSE(status);
    EXPECT_NE(status.error().description.find("inline long value longer than its row"), std::string::npos);
}

} // namespace
} // namespace storage
