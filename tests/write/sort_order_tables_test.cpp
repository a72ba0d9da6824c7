// The code tables the engine carries, read back from their compressed form, must be
// the data files they were generated from, line for line.

#include "database/storage/write/sort_order_tables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace storage {
namespace {

std::vector<uint8_t> hexField(std::string digits) {
    if (digits.size() % 2)
        digits.insert(0, "0"); // the files drop a leading 0
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out(1);
    for (char c : line.substr(1)) {
        if (c == ',')
            out.emplace_back();
        else
            out.back() += c;
    }
    return out;
}

// The line a code would have in the data files.
std::string describe(const TextKeyCode& code) {
    std::string text;
    const auto hex = [&](const uint8_t* bytes, std::size_t length) {
        char digits[3];
        for (std::size_t i = 0; i < length; ++i) {
            std::snprintf(digits, sizeof digits, "%02X", bytes[i]);
            text += digits;
        }
    };
    text += "SIUPZX"[static_cast<std::size_t>(code.kind)];
    hex(code.inlineBytes.data(), code.inlineLength);
    text += ',';
    hex(code.extraBytes.data(), code.extraLength);
    text += ',' + std::to_string(code.flag);
    return text;
}

std::string expected(const std::string& line) {
    const std::vector<std::string> f = fields(line);
    TextKeyCode code;
    const auto setInline = [&](const std::string& digits) {
        const std::vector<uint8_t> bytes = hexField(digits);
        code.inlineLength = static_cast<uint8_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), code.inlineBytes.begin());
    };
    const auto setExtra = [&](const std::string& digits) {
        const std::vector<uint8_t> bytes = digits.empty() ? std::vector<uint8_t>() : hexField(digits);
        code.extraLength = static_cast<uint8_t>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), code.extraBytes.begin());
    };
    const std::string kinds = "SIUPZX";
    code.kind = static_cast<TextCodeKind>(kinds.find(line[0]));
    if (line[0] == 'S' || line[0] == 'I' || line[0] == 'Z')
        setInline(f[0]);
    if (line[0] == 'I' || line[0] == 'Z')
        setExtra(f[1]);
    if (line[0] == 'U' || line[0] == 'P')
        setExtra(f[0]);
    if (line[0] == 'Z')
        code.flag = f[2] == "1" ? 2 : 3;
    return describe(code);
}

TEST(SortOrderTables, EveryCodeIsTheLineOfTheDataFiles) {
    const std::filesystem::path dir(TARNWICK_SORT_ORDER_DIR);
    if (!std::filesystem::is_directory(dir))
        GTEST_SKIP() << "code-table folder not found";
    for (auto [order, prefix] :
         {std::pair{TextSortOrder::GeneralLegacy, "general-legacy"}, std::pair{TextSortOrder::General, "general"}}) {
        SCOPED_TRACE(prefix);
        const auto& codes = textKeyCodes(order);
        unsigned unit = 0;
        int mismatches = 0;
        for (const char* part : {"-base.txt", "-extended.txt"}) {
            std::ifstream in(dir / (std::string(prefix) + part));
            ASSERT_TRUE(in) << prefix << part;
            for (std::string line; std::getline(in, line) && !line.empty(); ++unit) {
                if (unit == 0xD800)
                    unit = 0xE000;
                ASSERT_LE(unit, 0xFFFFu);
                if (describe(codes[unit]) != expected(line) && ++mismatches <= 10)
                    ADD_FAILURE() << "U+" << std::hex << unit << ": " << describe(codes[unit]) << ", the file has "
                                  << line;
            }
        }
        EXPECT_EQ(unit, 0x10000u);
        EXPECT_EQ(mismatches, 0);
        // A surrogate is keyed as two inline bytes with the extra code 3F.
        EXPECT_EQ(describe(codes[0xD83D]), "IB03F,3F,0");
        EXPECT_EQ(describe(codes[0xDE00]), "IB6FC,3F,0");
    }
}

} // namespace
} // namespace storage
