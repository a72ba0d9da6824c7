#include "database/storage/create/new_database.h"

#include "database/storage/create/create_errors.h"
#include "database/storage/create/empty_database.h"
#include "database/storage/create/new_file_placement.h"
#include "database/storage/engine/catalog_registration.h"
#include "database/storage/format/text_codec.h"

#include <algorithm>
#include <cctype>

namespace storage {

namespace {

constexpr std::size_t kMaxPasswordUnits = 20;

bool endsWithIgnoringCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace

Status createDatabase(const std::string& path, const NewDatabaseOptions& options) {
    const std::u16string password = utf8ToUtf16(options.password);
    const bool jet = options.format == FileFormat::Jet4;
    if (options.encode && !jet)
        return create_errors::encodingIsForJet();
    if (password.size() > kMaxPasswordUnits)
        return create_errors::passwordTooLong();
    // An ACE file keeps no password: only what the key derived from it opens.
    auto image = emptyDatabaseImage(options.format, jet ? password : std::u16string(), localTimeNow());
    if (!image)
        return image.error();
    if (jet && options.encode)
        if (Status status = crypto::protectNewImage(*image, crypto::NewEncryption::JetEncoding, {}); !status)
            return status;
    if (!jet && !password.empty())
        if (Status status = crypto::protectNewImage(*image, options.aceEncryption, password); !status)
            return status;
    return placeNewFile(path, *image);
}

std::optional<FileFormat> fileFormatFromName(std::string_view name) {
    if (name == "jet4")
        return FileFormat::Jet4;
    if (name == "ace12")
        return FileFormat::Ace12;
    if (name == "ace14")
        return FileFormat::Ace14;
    if (name == "ace16")
        return FileFormat::Ace16;
    if (name == "ace17")
        return FileFormat::Ace17;
    return std::nullopt;
}

std::optional<FileFormat> defaultFormatForPath(std::string_view path) {
    if (endsWithIgnoringCase(path, ".mdb"))
        return FileFormat::Jet4;
    if (endsWithIgnoringCase(path, ".accdb"))
        return FileFormat::Ace16;
    return std::nullopt;
}

} // namespace storage
