#include "database/storage/sql/quick_insert.h"

namespace storage::sql {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

bool take(std::string_view text, std::size_t& at, std::string_view expected) {
    if (text.size() - at < expected.size() || text.compare(at, expected.size(), expected) != 0)
        return false;
    at += expected.size();
    return true;
}

bool take(std::string_view text, std::size_t& at, char expected) {
    if (at >= text.size() || text[at] != expected)
        return false;
    ++at;
    return true;
}

} // namespace

std::optional<Insert> parseQuickInsert(std::string_view text) {
    std::size_t at = 0;
    if (!take(text, at, "INSERT INTO `"))
        return std::nullopt;
    const std::size_t nameEnd = text.find('`', at);
    if (nameEnd == std::string_view::npos)
        return std::nullopt;
    Insert insert;
    insert.table = std::string(text.substr(at, nameEnd - at));
    at = nameEnd + 1;
    if (!take(text, at, " VALUES("))
        return std::nullopt;
    insert.values.reserve(text.size() / 8 + 1); // short values mostly: enough room to grow rarely

    do {
        if (!take(text, at, '\''))
            return std::nullopt;
        Literal& literal = insert.values.emplace_back();
        // A quote inside is written twice.
        for (;;) {
            const std::size_t quote = text.find('\'', at);
            if (quote == std::string_view::npos)
                return std::nullopt;
            literal.text.append(text.substr(at, quote - at));
            at = quote + 1;
            if (at < text.size() && text[at] == '\'') {
                literal.text += '\'';
                ++at;
                continue;
            }
            break;
        }
    } while (take(text, at, ','));
    if (!take(text, at, ')'))
        return std::nullopt;

    while (at < text.size() && isSpace(text[at]))
        ++at;
    if (at < text.size() && text[at] == ';')
        ++at;
    while (at < text.size() && isSpace(text[at]))
        ++at;
    if (at != text.size())
        return std::nullopt;
    return insert;
}

} // namespace storage::sql
