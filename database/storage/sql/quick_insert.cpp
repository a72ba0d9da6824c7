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
    Insert insert;
    if (!parseQuickInsert(text, insert))
        return std::nullopt;
    return insert;
}

bool parseQuickInsert(std::string_view text, Insert& into) {
    std::size_t at = 0;
    if (!take(text, at, "INSERT INTO `"))
        return false;
    const std::size_t nameEnd = text.find('`', at);
    if (nameEnd == std::string_view::npos)
        return false;
    into.table.assign(text.substr(at, nameEnd - at));
    into.fields.clear();
    at = nameEnd + 1;
    if (!take(text, at, " VALUES("))
        return false;

    std::size_t count = 0;
    do {
        if (!take(text, at, '\''))
            return false;
        if (count == into.values.size())
            into.values.emplace_back();
        Literal& literal = into.values[count++];
        literal.kind = Literal::Kind::String;
        literal.boolean = false;
        literal.text.clear();
        // A quote inside is written twice.
        for (;;) {
            const std::size_t quote = text.find('\'', at);
            if (quote == std::string_view::npos)
                return false;
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
    into.values.resize(count);
    if (!take(text, at, ')'))
        return false;

    while (at < text.size() && isSpace(text[at]))
        ++at;
    if (at < text.size() && text[at] == ';')
        ++at;
    while (at < text.size() && isSpace(text[at]))
        ++at;
    return at == text.size();
}

} // namespace storage::sql
