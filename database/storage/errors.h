#pragma once

#include "database/storage/open_options.h"
#include "database/storage/status.h"

#include <cstdint>
#include <string>
#include <string_view>

// Every message text the engine shows lives in errors.cpp, so that wording and
// the double spaces Jet puts between sentences can be fixed in one place.
namespace storage::errors {

Error fileNotFound(std::string_view path);                  // 3024
Error invalidPath(std::string_view path);                   // 3044
Error unrecognizedFormat(std::string_view path);            // 3343
Error jet3Database(std::string_view path);                  // 3343, said plainly
Error folderNotDatabase(std::string_view path);             // 3343, said plainly
Error notValidPassword();                                   // 3031
Error cannotOpenFile(std::string_view path, Engine engine); // 3051: no permission
Error tableNotFound(std::string_view name, Engine engine);  // 3078

// The database holds the journal of a batch that was interrupted, and this process cannot
// put it back: the file or folder may not be written (readOnly), or another program holds it.
Error unfinishedChange(std::string_view path, bool readOnly);
// The journal of an interrupted batch was written by a newer version of the program,
// whose records this one cannot read: it is left as it is, for that version to put back.
Error journalOfNewerVersion();
// Not an error: what is said when a journal written for another file was set aside.
std::string journalSetAside(std::string_view path, std::string_view setAsidePath);

// 3049 "Cannot open database ..." followed by where the damage is. Pass
// page = kNoPage when the damage is not on one page.
inline constexpr uint32_t kNoPage = UINT32_MAX;
Error corrupt(std::string_view path, uint32_t page, uint32_t offset, std::string_view check);
// Said after a corruption found while writing: what to do about it.
std::string damagedForWriting(std::string_view path);

// Not Jet errors: things this engine does not implement.
Error encryptedAccdb(std::string_view path, std::string_view scheme);
Error unsupported(std::string_view what);
// "Could not <action> '<path>': <detail>.", e.g. action "write to", detail "No space left on device".
Error ioError(std::string_view path, std::string_view action, std::string_view detail);

} // namespace storage::errors
