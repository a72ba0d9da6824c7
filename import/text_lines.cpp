#include "import/text_lines.h"

#include "import/local_file_names.h"

#include <QFile>

#include <algorithm>
#include <cstring>

namespace importer {

namespace {

const char16_t kLineFeed = u'\n';
const char16_t kCarriageReturn = u'\r';

} // namespace

TextLines TextLines::read(const QString& path, std::optional<ReadFailure>* failure) {
    TextLines lines;
    QFile file;
    if (!openForReading(file, path)) {
        const QString reason = file.exists() ? file.errorString() : QStringLiteral("File not found");
        if (failure)
            *failure =
                ReadFailure{QStringLiteral("Could not read the file '%1': %2").arg(displayLocalFileName(path), reason)};
        return lines;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (failure)
            *failure = ReadFailure{
                QStringLiteral("Could not read the file '%1': %2").arg(displayLocalFileName(path), file.errorString())};
        return lines;
    }
    file.close();

    lines.m_table = AnsiCodePage::singleByteTable();
    if (const AnsiCodePage::ByteTable* table = lines.m_table) {
        lines.m_bytes = std::move(bytes);
        const auto* data = reinterpret_cast<const unsigned char*>(lines.m_bytes.constData());
        const auto carriageReturn = std::find(table->begin(), table->end(), kCarriageReturn);
        if (std::count(table->begin(), table->end(), kCarriageReturn) == 1)
            lines.m_carriageReturnByte = static_cast<int>(carriageReturn - table->begin());
        if (std::count(table->begin(), table->end(), kLineFeed) == 1 && (*table)['\n'] == kLineFeed)
            lines.findLineFeeds();
        else
            lines.findLines(lines.m_bytes.size(), [&](qsizetype at) { return (*table)[data[at]]; });
    } else {
        lines.m_decoded = AnsiCodePage::decode(bytes);
        const QChar* data = lines.m_decoded.constData();
        lines.findLines(lines.m_decoded.size(), [&](qsizetype at) { return data[at].unicode(); });
    }
    return lines;
}

// Text of nothing but carriage returns has no line at all, as an empty file.
void TextLines::findLines(qsizetype length, auto charAt) {
    bool onlyCarriageReturns = true;
    m_starts.push_back(0);
    for (qsizetype at = 0; at < length; ++at) {
        const char16_t c = charAt(at);
        if (c == kLineFeed) {
            m_starts.push_back(at + 1);
            onlyCarriageReturns = false;
        } else if (c != kCarriageReturn) {
            onlyCarriageReturns = false;
        }
    }
    if (onlyCarriageReturns)
        m_starts.clear();
}

// The same as findLines for a code page whose only line feed is the byte 10.
void TextLines::findLineFeeds() {
    const char* data = m_bytes.constData();
    const qsizetype size = m_bytes.size();
    m_starts.push_back(0);
    for (const char* at = data;
         (at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(data + size - at)))); ++at)
        m_starts.push_back(at - data + 1);
    if (m_starts.size() == 1 && lineIsEmpty(0))
        m_starts.clear(); // nothing but carriage returns
}

qsizetype TextLines::lineEnd(qsizetype index) const {
    if (index + 1 < size())
        return m_starts[static_cast<std::size_t>(index + 1)] - 1;
    return m_table ? m_bytes.size() : m_decoded.size();
}

QString TextLines::line(qsizetype index) const {
    const qsizetype start = m_starts[static_cast<std::size_t>(index)];
    const qsizetype length = lineEnd(index) - start;
    QString text(length, Qt::Uninitialized);
    QChar* out = text.data();
    qsizetype kept = 0;
    if (m_table) {
        const AnsiCodePage::ByteTable& table = *m_table;
        const auto* data = reinterpret_cast<const unsigned char*>(m_bytes.constData()) + start;
        for (qsizetype i = 0; i < length; ++i)
            if (const char16_t c = table[data[i]]; c != kCarriageReturn)
                out[kept++] = QChar(c);
    } else {
        const QChar* data = m_decoded.constData() + start;
        for (qsizetype i = 0; i < length; ++i)
            if (data[i].unicode() != kCarriageReturn)
                out[kept++] = data[i];
    }
    text.truncate(kept);
    return text;
}

std::optional<std::string_view> TextLines::plainBytes(qsizetype index) const {
    if (!m_table)
        return std::nullopt;
    const qsizetype start = m_starts[static_cast<std::size_t>(index)];
    qsizetype end = lineEnd(index);
    const auto* data = reinterpret_cast<const unsigned char*>(m_bytes.constData());
    if (end > start && (*m_table)[data[end - 1]] == kCarriageReturn)
        --end;
    if (m_carriageReturnByte >= 0) {
        if (std::memchr(data + start, m_carriageReturnByte, static_cast<std::size_t>(end - start)))
            return std::nullopt;
    } else {
        for (qsizetype at = start; at < end; ++at)
            if ((*m_table)[data[at]] == kCarriageReturn)
                return std::nullopt;
    }
    return std::string_view(m_bytes.constData() + start, static_cast<std::size_t>(end - start));
}

// Empty, or nothing but carriage returns.
bool TextLines::lineIsEmpty(qsizetype index) const {
    const qsizetype start = m_starts[static_cast<std::size_t>(index)];
    const qsizetype end = lineEnd(index);
    for (qsizetype at = start; at < end; ++at) {
        const char16_t c = m_table ? (*m_table)[static_cast<unsigned char>(m_bytes[at])] : m_decoded[at].unicode();
        if (c != kCarriageReturn)
            return false;
    }
    return true;
}

QStringList TextLines::toList() const {
    QStringList lines;
    lines.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        lines << line(i);
    return lines;
}

} // namespace importer
