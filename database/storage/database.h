#pragma once

#include "database/storage/catalog/catalog.h"
#include "database/storage/file/file.h"
#include "database/storage/file/page_reader.h"
#include "database/storage/format/header.h"
#include "database/storage/open_options.h"
#include "database/storage/status.h"
#include "database/storage/table/table_cursor.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace storage {

namespace crypto {
class PageCodec;
}

// An open Access database (Jet 4 .mdb or ACE .accdb), as read from its file; changes
// are made through a DatabaseSession.
// Not thread-safe. Cursors borrow the database and must not outlive it.
class Database {
public:
    // Opens the file at path. Fails with the Jet error the provider gives:
    // 3024 missing file, 3044 missing folder, 3051 no permission, 3343 not a
    // Jet 4 / ACE database (or an ACE file under Engine::Jet), 3031 wrong
    // password, 3049 damaged; an ACCDB encryption scheme this engine cannot decrypt
    // is refused (NotSupported). Encoded and encrypted pages read decoded.
    static Result<std::unique_ptr<Database>> open(const std::string& path, const OpenOptions& options);
    // The same over an already open File; pathForMessages is used in messages only.
    static Result<std::unique_ptr<Database>> open(std::unique_ptr<File> file, const std::string& pathForMessages,
                                                  const OpenOptions& options);
    // Over a File whose pages the caller already decodes with `codec` (null for a file in
    // clear), as an earlier open of the same file found them: the password is not checked again.
    static Result<std::unique_ptr<Database>> openDecoded(std::unique_ptr<File> file, const std::string& pathForMessages,
                                                         const OpenOptions& options,
                                                         std::shared_ptr<crypto::PageCodec> codec);

    FileFormat format() const { return m_header.format; }
    const DatabaseHeader& header() const { return m_header; }
    const Catalog& catalog() const { return m_catalog; }
    Engine engine() const { return m_options.engine; }

    // The tables schema rowset (OpenSchema adSchemaTables): TABLE_NAME and TABLE_TYPE.
    Result<std::vector<SchemaTableRow>> tablesSchema();
    // Names of the user tables, in catalogue order.
    Result<std::vector<std::string>> userTables();
    // A cursor over a local table (user or system), found ignoring case.
    // 3078 when there is no such table or query.
    Result<TableCursor> openTable(std::string_view name);

    PageReader& pages() { return *m_pages; }
    // What turns the stored pages into readable ones; null when they are stored in clear.
    const std::shared_ptr<crypto::PageCodec>& pageCodec() const { return m_codec; }
    // Reads the catalogue again, after a writer has changed it.
    Status reloadCatalog();

private:
    Database(std::unique_ptr<File> file, const OpenOptions& options) : m_file(std::move(file)), m_options(options) {}
    Status load(const std::string& path, bool decoded);

    std::unique_ptr<File> m_file;
    OpenOptions m_options;
    DatabaseHeader m_header;
    std::shared_ptr<crypto::PageCodec> m_codec;
    std::unique_ptr<PageReader> m_pages;
    Catalog m_catalog;
};

} // namespace storage
