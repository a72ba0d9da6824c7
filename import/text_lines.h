#pragma once

#include "import/ansi_code_page.h"
#include "import/text_rules.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <string_view>
#include <vector>

namespace importer {

// A file's lines exactly as ReadTextLines gives them, kept as the file's bytes and
// converted one line at a time when asked for: a large file costs its own size in
// memory, not the three or four times that a list of converted lines takes.
class TextLines {
public:
    // Empty, with `failure` set, when the file cannot be read.
    static TextLines read(const QString& path, std::optional<ReadFailure>* failure);

    qsizetype size() const { return static_cast<qsizetype>(m_starts.size()); }
    bool isEmpty() const { return m_starts.empty(); }
    // Line `index`, without carriage returns.
    QString line(qsizetype index) const;
    bool lineIsEmpty(qsizetype index) const;
    QStringList toList() const;

    // The code page's table when it is single-byte, and then line `index` as the file's
    // bytes, without its last carriage return, when it holds no other one: such a line
    // converts byte by byte. nullopt otherwise.
    const AnsiCodePage::ByteTable* byteTable() const { return m_table; }
    std::optional<std::string_view> plainBytes(qsizetype index) const;

private:
    // Where each line starts in the text; a line ends where the next starts, less its line feed.
    void findLines(qsizetype length, auto charAt);
    void findLineFeeds();
    qsizetype lineEnd(qsizetype index) const;

    const AnsiCodePage::ByteTable* m_table = nullptr; // the code page's, when it is single-byte
    int m_carriageReturnByte = -1; // the one byte that is a carriage return in that code page, if just one is
    QByteArray m_bytes;            // the file, for a single-byte code page
    QString m_decoded;             // the whole file converted, for any other code page
    std::vector<qsizetype> m_starts;
};

} // namespace importer
