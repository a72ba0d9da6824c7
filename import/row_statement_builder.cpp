#include "import/row_statement_builder.h"

#include <algorithm>

namespace importer {

RowStatementBuilder::RowStatementBuilder(QString separator, int lastFieldIndex)
    : m_separator(std::move(separator)), m_lastFieldIndex(lastFieldIndex) {}

void RowStatementBuilder::startStatement(const QString& table, std::string& out) {
    if (m_prefix.empty() || table != m_table) {
        m_table = table;
        m_prefix = "INSERT INTO `";
        appendUtf8(table, false, m_prefix);
        m_prefix += "` VALUES(";
    }
    out.assign(m_prefix);
}

void RowStatementBuilder::build(const QString& table, QStringView line, std::string& out) {
    startStatement(table, out);

    // The fields as SplitFields cuts them: at every occurrence of a non-empty
    // separator; an empty line has none, an empty separator leaves the line whole.
    qsizetype at = 0;
    bool fieldsLeft = !line.isEmpty();
    for (int k = 0; k <= m_lastFieldIndex; ++k) {
        if (!fieldsLeft) {
            out += "''";
        } else {
            const qsizetype cut = m_separator.isEmpty() ? -1 : line.indexOf(m_separator, at);
            appendQuotedValue(line.sliced(at, (cut < 0 ? line.size() : cut) - at), out);
            if (cut < 0)
                fieldsLeft = false;
            else
                at = cut + m_separator.size();
        }
        if (k < m_lastFieldIndex)
            out += ',';
    }
    out += ");";
    dropParenthesisOfEmptyList(out);
}

void RowStatementBuilder::finishStatement(std::string& out) const {
    out += ");";
    dropParenthesisOfEmptyList(out);
}

// With no value, cutting the list's last character takes the "(" instead of a comma.
void RowStatementBuilder::dropParenthesisOfEmptyList(std::string& out) const {
    if (m_lastFieldIndex < 0)
        out.erase(out.size() - 3, 1);
}

bool RowStatementBuilder::build(const QString& table, std::string_view line, const AnsiCodePage::ByteTable& codePage,
                                std::string& out) {
    if (!useCodePage(codePage))
        return false;
    startStatement(table, out);
    // Written through a pointer into room made beforehand: a byte takes at most three
    // bytes of UTF-8, a value two quotes and a comma.
    const std::size_t start = out.size();
    out.resize(start + 3 * line.size() + 3 * (static_cast<std::size_t>(m_lastFieldIndex) + 1) + 2);
    char* to = out.data() + start;
    const std::string& separator = *m_separatorBytes;
    std::size_t at = 0;
    bool fieldsLeft = !line.empty();
    // Each field's bytes are converted in the same pass that looks for the separator's first byte.
    const int separatorStart = separator.empty() ? -1 : static_cast<unsigned char>(separator[0]);
    for (int k = 0; k <= m_lastFieldIndex; ++k) {
        *to++ = '\'';
        if (fieldsLeft) {
            std::size_t i = at;
            for (; i < line.size(); ++i) {
                const auto byte = static_cast<unsigned char>(line[i]);
                if (byte == separatorStart && line.substr(i, separator.size()) == separator)
                    break;
                if (m_copiedAsItIs[byte]) {
                    *to++ = static_cast<char>(byte);
                } else {
                    const std::string& converted = m_valueBytes[byte];
                    to = std::copy(converted.begin(), converted.end(), to);
                }
            }
            if (i == line.size())
                fieldsLeft = false;
            else
                at = i + separator.size();
        }
        *to++ = '\'';
        if (k < m_lastFieldIndex)
            *to++ = ',';
    }
    *to++ = ')';
    *to++ = ';';
    out.resize(static_cast<std::size_t>(to - out.data()));
    dropParenthesisOfEmptyList(out);
    return true;
}

bool RowStatementBuilder::useCodePage(const AnsiCodePage::ByteTable& codePage) {
    if (m_codePage == &codePage)
        return m_separatorBytes.has_value();
    m_codePage = &codePage;
    for (std::size_t byte = 0; byte < 256; ++byte) {
        m_copiedAsItIs[byte] = byte < 0x80 && byte != '\'' && byte != '"' && codePage[byte] == byte;
        m_valueBytes[byte].clear();
        appendUtf8(QStringView(reinterpret_cast<const QChar*>(&codePage[byte]), 1), true, m_valueBytes[byte]);
    }
    m_separatorBytes.emplace();
    for (const QChar c : m_separator) {
        // One byte, and only one, must stand for the character.
        const auto* found = std::find(codePage.begin(), codePage.end(), c.unicode());
        if (found == codePage.end() || std::count(codePage.begin(), codePage.end(), c.unicode()) != 1 || c == u'\r') {
            m_separatorBytes.reset();
            break;
        }
        *m_separatorBytes += static_cast<char>(found - codePage.begin());
    }
    return m_separatorBytes.has_value();
}

void RowStatementBuilder::appendQuotedValue(QStringView field, std::string& out) {
    out += '\'';
    appendUtf8(field, true, out);
    out += '\'';
}

// ASCII is copied as it is; other runs of characters go through Qt's own conversion,
// so that the bytes are those of QString::toUtf8 whatever the text holds. Double
// quotes are left out; single quotes are doubled inside values.
void RowStatementBuilder::appendUtf8(QStringView text, bool value, std::string& out) {
    const QChar* data = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        const char16_t c = data[i].unicode();
        if (c >= 0x80) {
            qsizetype end = i + 1;
            while (end < size && data[end].unicode() >= 0x80)
                ++end;
            const QByteArray bytes = text.sliced(i, end - i).toUtf8();
            out.append(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            i = end;
            continue;
        }
        if (c == u'"') {
            // left out
        } else if (c == u'\'' && value) {
            out += "''";
        } else {
            out += static_cast<char>(c);
        }
        ++i;
    }
}

} // namespace importer
