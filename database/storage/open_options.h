#pragma once

#include <string>

namespace storage {

// Which OLE DB provider the caller is imitating. It decides which files open
// (the Jet provider refuses ACCDB files) and the wording of some messages.
enum class Engine { Jet, Ace };

// The storage format, decided from the version byte of the file's own header.
enum class FileFormat { Jet4, Ace12, Ace14, Ace16, Ace17 };

struct OpenOptions {
    std::string password; // database password; ignored when the file has none
    Engine engine = Engine::Ace;
    bool readOnly = true; // only read-only opening exists so far
};

// "Jet 4", "ACE 12", ... for messages and reports.
const char* fileFormatName(FileFormat format);

} // namespace storage
