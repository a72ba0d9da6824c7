#include "database/storage/database.h"

#include "database/storage/crypto/database_codec.h"
#include "database/storage/crypto/page_codec_file.h"
#include "database/storage/errors.h"
#include "database/storage/file/posix_file.h"
#include "database/storage/format/text_codec.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace storage {

namespace {

// Distinguishes a missing file from a missing folder, as Jet does.
Error missingFileError(const std::string& path) {
    std::error_code ignored;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty() && !std::filesystem::is_directory(parent, ignored))
        return errors::invalidPath(path);
    return errors::fileNotFound(path);
}

Result<std::set<int32_t>> queriesWithParameters(PageReader& pages, const Catalog& catalog) {
    std::set<int32_t> ids;
    const CatalogEntry* queries = catalog.findInTables("MSysQueries");
    if (!queries || queries->type != object_type::kLocalTable)
        return ids;
    auto cursor = openTableAt(pages, queries->name, static_cast<uint32_t>(queries->id) & 0x00FFFFFF);
    if (!cursor)
        return cursor.error();
    int objectId = -1, attribute = -1;
    for (std::size_t i = 0; i < cursor->columns().size(); ++i) {
        if (cursor->columns()[i].name == "ObjectId")
            objectId = static_cast<int>(i);
        if (cursor->columns()[i].name == "Attribute")
            attribute = static_cast<int>(i);
    }
    if (objectId < 0 || attribute < 0)
        return ids;
    constexpr uint8_t kParameterAttribute = 2;
    Row row;
    while (cursor->next(row)) {
        const auto* kind = row[static_cast<std::size_t>(attribute)].get<uint8_t>();
        const auto* id = row[static_cast<std::size_t>(objectId)].get<int32_t>();
        if (kind && id && *kind == kParameterAttribute)
            ids.insert(*id);
    }
    if (!cursor->status())
        return cursor->status();
    return ids;
}

} // namespace

const char* fileFormatName(FileFormat format) {
    switch (format) {
    case FileFormat::Jet4: return "Jet 4";
    case FileFormat::Ace12: return "ACE 12";
    case FileFormat::Ace14: return "ACE 14";
    case FileFormat::Ace16: return "ACE 16";
    case FileFormat::Ace17: return "ACE 17";
    }
    return "unknown";
}

Result<std::unique_ptr<Database>> Database::open(const std::string& path, const OpenOptions& options) {
    if (path.empty())
        return errors::fileNotFound(path);
    int errorNumber = 0;
    std::unique_ptr<PosixFile> file = PosixFile::open(path, false, errorNumber);
    if (!file) {
        switch (errorNumber) {
        case ENOENT: return missingFileError(path);
        case ENOTDIR: return errors::invalidPath(path);
        case EACCES:
        case EPERM: return errors::cannotOpenFile(path, options.engine);
        case EISDIR: return errors::folderNotDatabase(path);
        case EINVAL: return errors::unrecognizedFormat(path);
        default: return errors::ioError(path, "open", std::error_code(errorNumber, std::generic_category()).message());
        }
    }
    return open(std::move(file), path, options);
}

Result<std::unique_ptr<Database>> Database::open(std::unique_ptr<File> file, const std::string& pathForMessages,
                                                 const OpenOptions& options) {
    if (!options.readOnly)
        return errors::unsupported("Writing to databases is not supported yet; open the database read-only.");
    std::unique_ptr<Database> database(new Database(std::move(file), options));
    if (Status status = database->load(pathForMessages, false); !status)
        return status;
    return database;
}

Result<std::unique_ptr<Database>> Database::openDecoded(std::unique_ptr<File> file, const std::string& pathForMessages,
                                                        const OpenOptions& options,
                                                        std::shared_ptr<crypto::PageCodec> codec) {
    if (!options.readOnly)
        return errors::unsupported("Writing to databases is not supported yet; open the database read-only.");
    std::unique_ptr<Database> database(new Database(std::move(file), options));
    database->m_codec = std::move(codec);
    if (Status status = database->load(pathForMessages, true); !status)
        return status;
    return database;
}

Status Database::load(const std::string& path, bool decoded) {
    auto size = m_file->size();
    if (!size)
        return size.status();
    std::vector<uint8_t> page0(kJet4PageSize);
    auto got = m_file->read(0, page0);
    if (!got)
        return got.status();
    page0.resize(*got);
    auto header = decodeHeader(page0, path);
    if (!header)
        return header.status();
    m_header = std::move(*header);

    if (m_options.engine == Engine::Jet && m_header.isAce())
        return errors::unrecognizedFormat(path);
    // Jet compares the whole password, case and all; a file without one accepts any.
    if (!decoded && !m_header.password.empty() && utf8ToUtf16(m_options.password) != m_header.password)
        return errors::notValidPassword();
    if (!decoded) {
        auto codec = crypto::pageCodecFor(page0, m_header, m_options.password, path);
        if (!codec)
            return codec.status();
        m_codec = std::move(*codec);
        if (m_codec)
            m_file = std::make_unique<crypto::PageCodecFile>(std::move(m_file), m_codec, m_header.pageSize);
    }

    const uint64_t pageCount = *size / m_header.pageSize;
    if (pageCount < 3)
        return errors::corrupt(path, errors::kNoPage, 0, "file too short to hold the catalogue");
    // Jet 4 and ACE files hold at most 2 GiB; a larger count cannot be addressed by 24-bit row pointers anyway.
    m_pages = std::make_unique<PageReader>(*m_file, path, m_header.pageSize,
                                           static_cast<uint32_t>(std::min<uint64_t>(pageCount, 0xFFFFFF)));

    return reloadCatalog();
}

Status Database::reloadCatalog() {
    auto catalog = Catalog::read(*m_pages);
    if (!catalog)
        return catalog.status();
    m_catalog = std::move(*catalog);
    return Status::ok();
}

Result<std::vector<SchemaTableRow>> Database::tablesSchema() {
    auto parameters = queriesWithParameters(*m_pages, m_catalog);
    if (!parameters)
        return parameters.error();
    return m_catalog.tablesSchema(*parameters);
}

Result<std::vector<std::string>> Database::userTables() {
    return m_catalog.userTables();
}

Result<TableCursor> Database::openTable(std::string_view name) {
    const CatalogEntry* entry = m_catalog.findInTables(name);
    if (!entry)
        return errors::tableNotFound(name, m_options.engine);
    switch (entry->type) {
    case object_type::kLocalTable: break;
    case object_type::kLinkedTable:
    case object_type::kOdbcLinkedTable:
        return errors::unsupported("'" + entry->name + "' is a linked table; reading linked tables is not supported.");
    default: return errors::unsupported("'" + entry->name + "' is a query, not a table.");
    }
    return openTableAt(*m_pages, entry->name, static_cast<uint32_t>(entry->id) & 0x00FFFFFF, entry->properties);
}

} // namespace storage
