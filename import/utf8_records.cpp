#include "import/utf8_records.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace importer {

namespace {

const char kLineFeed = '\n';
const char kCarriageReturn = '\r';

const char* findByte(const char* at, const char* end, char byte) {
    const void* found = std::memchr(at, byte, static_cast<std::size_t>(end - at));
    return found ? static_cast<const char*>(found) : end;
}

// Separators and qualifiers are a byte or two: compared in place, without a call.
inline bool startsWith(const char* at, const char* end, const std::string& text) {
    const std::size_t size = text.size();
    if (size == 0 || static_cast<std::size_t>(end - at) < size)
        return false;
    for (std::size_t i = 0; i < size; ++i)
        if (at[i] != text[i])
            return false;
    return true;
}

// The values of a row statement, written through a pointer into room made beforehand.
struct StatementValues {
    char* to;
    int lastIndex;
    bool keepDoubleQuotes;
    int given = 0;

    bool begin(int k) {
        if (k > lastIndex)
            return false;
        if (k > 0)
            *to++ = ',';
        *to++ = '\'';
        given = k + 1;
        return true;
    }
    void put(char c) {
        if (c == '\'') {
            *to++ = '\'';
            *to++ = '\'';
        } else if (c != '"' || keepDoubleQuotes) {
            *to++ = c;
        }
    }
    void end() { *to++ = '\''; }
};

struct FieldTexts {
    QStringList fields;
    std::string current;

    bool begin(int) {
        current.clear();
        return true;
    }
    void put(char c) { current += c; }
    void end() { fields << QString::fromUtf8(current.data(), static_cast<qsizetype>(current.size())); }
};

} // namespace

inline bool Utf8Records::separatorAt(const char* at, const char* end) const {
    return startsWith(at, end, m_separator);
}

inline bool Utf8Records::qualifierAt(const char* at, const char* end) const {
    return startsWith(at, end, m_qualifier);
}

Utf8Records::Utf8Records(QByteArray text, const QString& separator, std::optional<QChar> qualifier,
                         std::optional<Unclosed>* unclosed)
    : m_text(std::move(text)), m_separator(separator.toStdString()) {
    if (qualifier)
        m_qualifier = QString(*qualifier).toStdString();
    if (m_qualifier.empty())
        cutLines();
    else if (!cutQualified(unclosed))
        m_starts.clear();
    if (m_starts.size() == 1 && recordIsEmpty(0))
        m_starts.clear(); // nothing but carriage returns, as an empty file
}

// Every line feed ends a record.
void Utf8Records::cutLines() {
    const char* data = m_text.constData();
    const char* end = data + m_text.size();
    m_starts.push_back(0);
    for (const char* at = data; (at = findByte(at, end, kLineFeed)) < end; ++at)
        m_starts.push_back(at - data + 1);
}

// A line feed ends a record unless it is inside a qualified field. Lines without the
// qualifier's first byte are passed over whole.
bool Utf8Records::cutQualified(std::optional<Unclosed>* unclosed) {
    const char* data = m_text.constData();
    const char* end = data + m_text.size();
    const char qualifierStart = m_qualifier[0];
    qsizetype line = 0;
    bool fieldStart = true;
    m_starts.push_back(0);
    for (const char* at = data; at < end;) {
        const char* lineEnd = findByte(at, end, kLineFeed);
        if (findByte(at, lineEnd, qualifierStart) == lineEnd)
            at = lineEnd;
        while (at < lineEnd) {
            if (fieldStart && qualifierAt(at, lineEnd)) {
                const qsizetype opened = line;
                at += m_qualifier.size();
                for (;;) {
                    const char* found = findByte(at, end, qualifierStart);
                    if (found == end) {
                        if (unclosed)
                            *unclosed = Unclosed{opened + 1};
                        return false;
                    }
                    line += std::count(at, found, kLineFeed);
                    if (!qualifierAt(found, end)) {
                        at = found + 1; // the first byte of another character
                        continue;
                    }
                    at = found + m_qualifier.size();
                    if (!qualifierAt(at, end))
                        break;
                    at += m_qualifier.size(); // a doubled qualifier
                }
                fieldStart = false;
                lineEnd = findByte(at, end, kLineFeed);
            } else if (separatorAt(at, lineEnd)) {
                at += m_separator.size();
                fieldStart = true;
            } else {
                fieldStart = false;
                ++at;
            }
        }
        if (at == end)
            break;
        ++at; // the line feed that ends the record
        ++line;
        fieldStart = true;
        // Lines are kept from the first record that does not begin on the line of its index.
        if (m_lines.empty() && line != size()) {
            m_lines.resize(m_starts.size());
            std::iota(m_lines.begin(), m_lines.end(), qsizetype(0));
        }
        m_starts.push_back(at - data);
        if (!m_lines.empty())
            m_lines.push_back(line);
    }
    return true;
}

std::string_view Utf8Records::record(qsizetype index) const {
    const qsizetype start = m_starts[static_cast<std::size_t>(index)];
    const qsizetype end = index + 1 < size() ? m_starts[static_cast<std::size_t>(index + 1)] - 1 : m_text.size();
    return {m_text.constData() + start, static_cast<std::size_t>(end - start)};
}

bool Utf8Records::recordIsEmpty(qsizetype index) const {
    const std::string_view text = record(index);
    return std::all_of(text.begin(), text.end(), [](char c) { return c == kCarriageReturn; });
}

// Reads the fields of a record into `value`: begin(k) starts field k (false stops the
// reading), put(c) gives a byte of its value, end() ends it. A record that is empty, or
// nothing but carriage returns, has no field.
template <typename Value> void Utf8Records::readFields(std::string_view record, Value& value) const {
    if (std::all_of(record.begin(), record.end(), [](char c) { return c == kCarriageReturn; }))
        return;
    // The literal rules drop carriage returns before they cut: one inside a line goes first.
    std::string withoutReturns;
    if (m_qualifier.empty() && record.find(kCarriageReturn) < record.size() - 1) {
        std::remove_copy(record.begin(), record.end(), std::back_inserter(withoutReturns), kCarriageReturn);
        record = withoutReturns;
    }
    const char* at = record.data();
    const char* end = at + record.size();
    const int separatorStart = m_separator.empty() ? -1 : static_cast<unsigned char>(m_separator[0]);
    for (int k = 0;; ++k) {
        if (!value.begin(k))
            return;
        if (qualifierAt(at, end)) {
            // To the closing qualifier, which the cutting made sure of; carriage returns stay.
            for (at += m_qualifier.size(); at < end;) {
                if (qualifierAt(at, end)) {
                    at += m_qualifier.size();
                    if (!qualifierAt(at, end))
                        break;
                    at += m_qualifier.size();
                    for (const char c : m_qualifier)
                        value.put(c);
                } else {
                    value.put(*at++);
                }
            }
        }
        // An unqualified field, or what follows a closing qualifier, runs to the next separator.
        bool cut = false;
        for (; at < end; ++at) {
            if (static_cast<unsigned char>(*at) == separatorStart && separatorAt(at, end)) {
                cut = true;
                break;
            }
            if (*at != kCarriageReturn)
                value.put(*at);
        }
        value.end();
        if (!cut)
            return;
        at += m_separator.size();
    }
}

QStringList Utf8Records::fields(qsizetype index) const {
    FieldTexts texts;
    readFields(record(index), texts);
    return texts.fields;
}

void Utf8Records::buildRow(RowStatementBuilder& statement, const QString& table, qsizetype index,
                           std::string& out) const {
    const std::string_view text = record(index);
    const int lastIndex = statement.lastFieldIndex();
    statement.startStatement(table, out);
    // A byte takes at most two bytes (a doubled quote), a value two quotes and a comma.
    const std::size_t start = out.size();
    out.resize(start + 2 * text.size() + 3 * (static_cast<std::size_t>(std::max(lastIndex, 0)) + 1));
    StatementValues values{out.data() + start, lastIndex, !m_qualifier.empty()};
    readFields(text, values);
    for (int k = values.given; k <= lastIndex; ++k) {
        if (k > 0)
            *values.to++ = ',';
        *values.to++ = '\'';
        *values.to++ = '\'';
    }
    out.resize(static_cast<std::size_t>(values.to - out.data()));
    statement.finishStatement(out);
}

} // namespace importer
