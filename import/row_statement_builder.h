#pragma once

#include "import/ansi_code_page.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace importer {

// The row statement of one line in UTF-8, as the engine takes it: "INSERT INTO `T`
// VALUES(" with the value list of the line's fields (RowValueList, its last comma
// removed), ");", and every double quote removed; made in one pass into a buffer that
// serves row after row.
class RowStatementBuilder {
public:
    RowStatementBuilder(QString separator, int lastFieldIndex);

    // "INSERT INTO `table` VALUES('a','b');" for `line`, into `out`.
    void build(const QString& table, QStringView line, std::string& out);
    // The same for a line given as bytes of a single-byte code page, without carriage
    // returns; false, with nothing built, when the separator has a character that the
    // code page cannot hold or a carriage return: such a line needs the other form.
    bool build(const QString& table, std::string_view line, const AnsiCodePage::ByteTable& codePage, std::string& out);

    // For readers that write the values themselves: "INSERT INTO `table` VALUES(" into
    // `out`, and after the values ");" with the rule for an empty value list.
    void startStatement(const QString& table, std::string& out);
    void finishStatement(std::string& out) const;
    int lastFieldIndex() const { return m_lastFieldIndex; }

private:
    void dropParenthesisOfEmptyList(std::string& out) const;
    void appendUtf8(QStringView text, bool value, std::string& out);
    void appendQuotedValue(QStringView field, std::string& out);
    bool useCodePage(const AnsiCodePage::ByteTable& codePage);

    QString m_separator;
    int m_lastFieldIndex;
    QString m_table;      // the table of the prefix below
    std::string m_prefix; // "INSERT INTO `table` VALUES("

    // For lines given as bytes: each byte as it stands inside a quoted value, in UTF-8,
    // and the separator's bytes; for the code page named.
    const AnsiCodePage::ByteTable* m_codePage = nullptr;
    std::array<std::string, 256> m_valueBytes;
    std::array<bool, 256> m_copiedAsItIs{}; // bytes whose character is themselves in ASCII, quotes aside
    std::optional<std::string> m_separatorBytes;
};

} // namespace importer
