#include "database/storage/sql/parser.h"

#include "database/storage/sql/lexer.h"
#include "database/storage/sql/quick_insert.h"
#include "database/storage/sql/reserved_words.h"
#include "database/storage/sql/sql_errors.h"

namespace storage::sql {

namespace {

using Kind = Token::Kind;

class Parser {
public:
    explicit Parser(std::string_view text) : m_text(text), m_tokens(tokenize(text)) {}

    Result<Statement> statement() {
        if (peek().isWord("CREATE"))
            return createTable();
        if (peek().isWord("INSERT"))
            return insert();
        if (peek().isWord("SELECT"))
            return select();
        return errors::invalidStatement();
    }

private:
    const Token& peek(std::size_t ahead = 0) const {
        return m_tokens[std::min(m_next + ahead, m_tokens.size() - 1)];
    }
    const Token& take() {
        const Token& token = peek();
        if (m_next < m_tokens.size() - 1)
            ++m_next;
        return token;
    }
    bool takeWord(std::string_view upper) {
        if (!peek().isWord(upper))
            return false;
        take();
        return true;
    }
    bool takeSymbol(char c) {
        if (!peek().isSymbol(c))
            return false;
        take();
        return true;
    }

    // `name`, [name], or a bare word that is no reserved word.
    bool name(std::string& out) {
        const Token& token = peek();
        if (token.kind == Kind::QuotedName || (token.kind == Kind::Word && !isReservedWord(token.text))) {
            out = take().text;
            return true;
        }
        return false;
    }

    // An optional ";" and then nothing but blanks; `otherwise` for anything else before a ";".
    Status end(const Error& otherwise) {
        if (takeSymbol(';'))
            return peek().kind == Kind::End ? Status() : Status(errors::charactersAfterEnd());
        if (peek().kind == Kind::End)
            return {};
        return otherwise;
    }

    Result<Statement> createTable() {
        take();
        CreateTable create;
        if (!takeWord("TABLE") || !name(create.table) || !takeSymbol('('))
            return errors::createTableSyntax();
        do {
            ColumnSpec column;
            if (!name(column.name))
                return peek().isSymbol(')') || peek().kind == Kind::End ? errors::createTableSyntax()
                                                                          : errors::fieldDefinitionSyntax();
            if (Status status = typeName(column); !status)
                return status.error();
            create.columns.push_back(std::move(column));
        } while (takeSymbol(','));
        if (!takeSymbol(')'))
            return errors::fieldDefinitionSyntax();
        if (Status status = end(errors::createTableSyntax()); !status)
            return status.error();
        return Statement(std::move(create));
    }

    // type [(size)] [NOT NULL] [WITH COMP | WITH COMPRESSION], for one column.
    Status typeName(ColumnSpec& column) {
        if (peek().kind != Kind::Word)
            return errors::fieldDefinitionSyntax();
        std::string type = upperAscii(take().text);
        // Type names of more than one word.
        while (peek().kind == Kind::Word && isKnownTypeName(type + ' ' + upperAscii(peek().text))) {
            type += ' ';
            type += upperAscii(take().text);
        }
        if (!isKnownTypeName(type))
            return errors::invalidFieldType();
        column.typeName = type;
        if (takeSymbol('(')) {
            if (peek().kind != Kind::Number)
                return errors::fieldDefinitionSyntax();
            column.size = std::stoll(take().text.substr(0, 18));
            if (!takeSymbol(')'))
                return errors::fieldDefinitionSyntax();
        }
        while (true) {
            if (takeWord("NOT")) {
                if (!takeWord("NULL"))
                    return errors::fieldDefinitionSyntax();
                column.notNull = true;
            } else if (takeWord("WITH")) {
                if (!takeWord("COMP") && !takeWord("COMPRESSION"))
                    return errors::fieldDefinitionSyntax();
                column.withCompression = true;
            } else {
                return {};
            }
        }
    }

    Result<Statement> insert() {
        take();
        Insert insert;
        if (!takeWord("INTO") || !name(insert.table))
            return errors::insertSyntax();
        if (takeSymbol('(')) {
            do {
                std::string field;
                if (!name(field))
                    return errors::insertSyntax();
                insert.fields.push_back(std::move(field));
            } while (takeSymbol(','));
            if (!takeSymbol(')'))
                return errors::insertSyntax();
        }
        if (!takeWord("VALUES") || !takeSymbol('('))
            return errors::insertSyntax();
        insert.values.reserve((m_tokens.size() - m_next) / 2); // a value and a comma each
        do {
            Literal literal;
            if (Status status = value(literal); !status)
                return status.error();
            insert.values.push_back(std::move(literal));
            if (!peek().isSymbol(',') && !peek().isSymbol(')'))
                return errors::missingOperator(expressionFrom(m_valueStart));
        } while (takeSymbol(','));
        take(); // ")"
        if (Status status = end(errors::charactersAfterEnd()); !status)
            return status.error();
        return Statement(std::move(insert));
    }

    // One literal of VALUES.
    Status value(Literal& literal) {
        m_valueStart = peek().begin;
        const Token& token = peek();
        switch (token.kind) {
        case Kind::String:
            literal.kind = Literal::Kind::String;
            literal.text = take().text;
            return {};
        case Kind::Number:
            literal.kind = Literal::Kind::Number;
            literal.text = take().text;
            return {};
        case Kind::Date:
            literal.kind = Literal::Kind::Date;
            literal.text = take().text;
            return {};
        case Kind::Unterminated:
            return errors::unterminatedString(m_text.substr(token.begin));
        case Kind::Symbol:
            if ((token.isSymbol('-') || token.isSymbol('+')) && peek(1).kind == Kind::Number) {
                const std::string sign = take().text == "-" ? "-" : "";
                literal.kind = Literal::Kind::Number;
                literal.text = sign + take().text;
                return {};
            }
            break;
        case Kind::Word:
            if (token.isWord("NULL")) {
                take();
                literal.kind = Literal::Kind::Null;
                return {};
            }
            if (token.isWord("TRUE") || token.isWord("FALSE")) {
                literal.kind = Literal::Kind::Boolean;
                literal.boolean = take().isWord("TRUE");
                return {};
            }
            if (!isReservedWord(token.text) &&
                (peek(1).isSymbol(',') || peek(1).isSymbol(')')))
                return errors::parameterWithoutValue();
            break;
        default:
            break;
        }
        return errors::missingOperator(expressionFrom(m_valueStart));
    }

    // The text of the value starting at `begin`, up to the "," or ")" that ends it.
    std::string_view expressionFrom(std::size_t begin) const {
        int depth = 0;
        for (std::size_t i = m_next; i < m_tokens.size(); ++i) {
            const Token& token = m_tokens[i];
            if (token.begin < begin)
                continue;
            if (token.kind == Kind::End || (depth == 0 && (token.isSymbol(',') || token.isSymbol(')'))))
                return trimmed(m_text.substr(begin, token.begin - begin));
            if (token.isSymbol('('))
                ++depth;
            if (token.isSymbol(')'))
                --depth;
        }
        return trimmed(m_text.substr(begin));
    }

    Result<Statement> select() {
        take();
        SelectAll select;
        if (!takeSymbol('*'))
            return errors::selectSyntax();
        if (!takeWord("FROM"))
            return errors::selectSyntax();
        if (!name(select.table))
            return errors::fromClauseSyntax();
        if (Status status = end(errors::fromClauseSyntax()); !status)
            return status.error();
        return Statement(std::move(select));
    }

    static std::string_view trimmed(std::string_view text) {
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                                 text.back() == '\n'))
            text.remove_suffix(1);
        return text;
    }

    std::string_view m_text;
    std::vector<Token> m_tokens;
    std::size_t m_next = 0;
    std::size_t m_valueStart = 0;
};

} // namespace

Result<Statement> parse(std::string_view text) {
    if (std::optional<Insert> insert = parseQuickInsert(text))
        return Statement(std::move(*insert));
    return parseInFull(text);
}

Result<Statement> parseInFull(std::string_view text) {
    return Parser(text).statement();
}

} // namespace storage::sql
