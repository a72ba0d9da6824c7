#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace storage::sql {

struct Token {
    enum class Kind {
        Word,        // a keyword or bare name
        QuotedName,  // `name` or [name]
        String,      // 'text' or "text", quotes undoubled
        Number,      // digits with optional fraction and exponent
        Date,        // #...#, the text between the hashes
        Symbol,      // ( ) , ; * + - and any other single character
        Unterminated, // a string, name or date whose closing character is missing
        End,
    };
    Kind kind = Kind::End;
    std::string text;
    std::size_t begin = 0; // offsets into the statement
    std::size_t end = 0;

    bool isWord(std::string_view upper) const;
    bool isSymbol(char c) const { return kind == Kind::Symbol && text.size() == 1 && text[0] == c; }
};

// Splits a statement into tokens; the last one is End (or Unterminated).
std::vector<Token> tokenize(std::string_view text);

} // namespace storage::sql
