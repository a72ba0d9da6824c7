#include "database/storage/sql/lexer.h"

namespace storage::sql {

namespace {

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isWordChar(char c) {
    // Bytes of multi-byte UTF-8 characters belong to words too.
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || isDigit(c) || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

bool Token::isWord(std::string_view upperWord) const {
    if (kind != Kind::Word || text.size() != upperWord.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (upper(text[i]) != upperWord[i])
            return false;
    return true;
}

std::vector<Token> tokenize(std::string_view text) {
    std::vector<Token> tokens;
    tokens.reserve(text.size() / 4 + 4); // a guess that saves most of the growing
    std::size_t at = 0;
    while (true) {
        while (at < text.size() && isSpace(text[at]))
            ++at;
        Token token;
        token.begin = at;
        if (at >= text.size()) {
            token.kind = Token::Kind::End;
            token.end = at;
            tokens.push_back(std::move(token));
            return tokens;
        }
        const char c = text[at];
        if (c == '\'' || c == '"') {
            // A quote inside is written twice.
            std::size_t i = at + 1;
            bool closed = false;
            while (i < text.size()) {
                const std::size_t quote = text.find(c, i);
                token.text.append(text.substr(i, quote == std::string_view::npos ? text.npos : quote - i));
                if (quote == std::string_view::npos) {
                    i = text.size();
                    break;
                }
                if (quote + 1 < text.size() && text[quote + 1] == c) {
                    token.text += c;
                    i = quote + 2;
                    continue;
                }
                closed = true;
                i = quote + 1;
                break;
            }
            token.kind = closed ? Token::Kind::String : Token::Kind::Unterminated;
            at = i;
        } else if (c == '`' || c == '[' || c == '#') {
            const char close = c == '[' ? ']' : c;
            const std::size_t closing = text.find(close, at + 1);
            if (closing == std::string_view::npos) {
                token.kind = Token::Kind::Unterminated;
                at = text.size();
            } else {
                token.kind = c == '#' ? Token::Kind::Date : Token::Kind::QuotedName;
                token.text = std::string(text.substr(at + 1, closing - at - 1));
                at = closing + 1;
            }
        } else if (isDigit(c) || (c == '.' && at + 1 < text.size() && isDigit(text[at + 1]))) {
            std::size_t i = at;
            while (i < text.size() && isDigit(text[i]))
                ++i;
            if (i < text.size() && text[i] == '.')
                for (++i; i < text.size() && isDigit(text[i]);)
                    ++i;
            if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < text.size() && (text[j] == '+' || text[j] == '-'))
                    ++j;
                if (j < text.size() && isDigit(text[j])) {
                    while (j < text.size() && isDigit(text[j]))
                        ++j;
                    i = j;
                }
            }
            token.kind = Token::Kind::Number;
            token.text = std::string(text.substr(at, i - at));
            at = i;
        } else if (isWordChar(c)) {
            std::size_t i = at;
            while (i < text.size() && isWordChar(text[i]))
                ++i;
            token.kind = Token::Kind::Word;
            token.text = std::string(text.substr(at, i - at));
            at = i;
        } else {
            token.kind = Token::Kind::Symbol;
            token.text = std::string(1, c);
            ++at;
        }
        token.end = at;
        const bool unterminated = token.kind == Token::Kind::Unterminated;
        tokens.push_back(std::move(token));
        if (unterminated)
            return tokens;
    }
}

} // namespace storage::sql
