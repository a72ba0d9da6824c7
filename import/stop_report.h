#pragma once

#include <QString>

#include <vector>

namespace importer {

// Counts the rows a run has executed, file by file, so that a run stopped by the user
// can say what is in the database.
class RowTally {
public:
    // The rows counted from now on are those of `path`, going into `table`.
    void startFile(const QString& path, const QString& table);
    void countRow();

    // "The import was stopped. N rows of FILE are in table T.", followed by what the
    // files before it put into their tables.
    QString stoppedMessage() const;

private:
    struct FileRows {
        QString path;
        QString table;
        long long rows = 0;
    };
    std::vector<FileRows> m_files;
};

} // namespace importer
