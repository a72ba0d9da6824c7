#include "database/storage/errors.h"

#include <cstdio>

namespace storage::errors {

namespace {

std::string quoted(std::string_view text) {
    std::string out = "'";
    out += text;
    out += "'";
    return out;
}

std::string hex(uint32_t value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%X", value);
    return buffer;
}

} // namespace

Error fileNotFound(std::string_view path) {
    return {3024, "Could not find file " + quoted(path) + ".", ErrorKind::NotFound};
}

Error invalidPath(std::string_view path) {
    return {3044,
            quoted(path) + " is not a valid path.  Make sure that the path name is spelled correctly and that you are "
                           "connected to the server on which the file resides.",
            ErrorKind::NotFound};
}

Error unrecognizedFormat(std::string_view path) {
    return {3343, "Unrecognized database format " + quoted(path) + ".", ErrorKind::NotSupported};
}

Error jet3Database(std::string_view path) {
    return {3343,
            "Unrecognized database format " + quoted(path) +
                ".  It is an Access 97 (Jet 3) database; Tarnwick opens databases of Access 2000 and later. Convert "
                "it to a later format in Access first.",
            ErrorKind::NotSupported};
}

Error folderNotDatabase(std::string_view path) {
    return {3343, quoted(path) + " is a folder, not a database file.", ErrorKind::NotSupported};
}

Error notValidPassword() {
    return {3031, "Not a valid password.", ErrorKind::BadPassword};
}

Error unfinishedChange(std::string_view path, bool readOnly) {
    std::string text = "The database " + quoted(path) +
                       " holds an unfinished change: a program writing to it stopped before it was done, and its "
                       "journal " +
                       quoted(std::string(path) + "-journal") + " is still beside it. ";
    if (readOnly)
        text += "Open the database once with permission to write the file and its folder; that puts it back as it "
                "was before the unfinished change.";
    else
        text += "Another program has the database open. Once it has closed the database, open the database again; "
                "that puts it back as it was before the unfinished change.";
    return {3051, text, readOnly ? ErrorKind::PermissionDenied : ErrorKind::Failed};
}

Error journalOfNewerVersion() {
    return {3051,
            "The database holds an unfinished change recorded by a newer version of Tarnwick, which this version "
            "cannot put back. Open the database once with that version; that puts it back as it was before the "
            "unfinished change.",
            ErrorKind::Failed};
}

std::string journalSetAside(std::string_view path, std::string_view setAsidePath) {
    return "A journal beside the database " + quoted(path) +
           " was written for another file (the database was replaced since). It was not applied; it is kept as " +
           quoted(setAsidePath) + ".";
}

Error cannotOpenFile(std::string_view path, Engine engine) {
    if (engine == Engine::Jet)
        return {3051,
                "The Microsoft Jet database engine cannot open the file " + quoted(path) +
                    ".  It is already opened exclusively by another user, or you need permission to view its data.",
                ErrorKind::PermissionDenied};
    return {3051,
            "The Microsoft Access database engine cannot open or write to the file " + quoted(path) +
                ". It is already opened exclusively by another user, or you need permission to view and write its "
                "data.",
            ErrorKind::PermissionDenied};
}

Error tableNotFound(std::string_view name, Engine engine) {
    if (engine == Engine::Jet)
        return {3078,
                "The Microsoft Jet database engine cannot find the input table or query " + quoted(name) +
                    ".  Make sure it exists and that its name is spelled correctly.",
                ErrorKind::NotFound};
    return {3078,
            "The Microsoft Access database engine cannot find the input table or query " + quoted(name) +
                ". Make sure it exists and that its name is spelled correctly.",
            ErrorKind::NotFound};
}

Error corrupt(std::string_view path, uint32_t page, uint32_t offset, std::string_view check) {
    std::string text = "Cannot open database " + quoted(path) +
                       ".  It may not be a database that your application recognizes, or the file may be corrupt.";
    text += " (";
    if (page != kNoPage)
        text += "page " + std::to_string(page) + ", offset " + hex(offset) + ": ";
    text += check;
    text += ")";
    return {3049, std::move(text), ErrorKind::Corruption};
}

std::string damagedForWriting(std::string_view path) {
    return "  The change was not made, so as not to damage the database further. Run 'tarnwick-cli check " +
           std::string(path) + "' for a report of the damage, and repair the database in Access (Compact and Repair).";
}

Error encryptedAccdb(std::string_view path, std::string_view scheme) {
    return {0,
            "Cannot open " + quoted(path) + ": it is an encrypted ACCDB database (" + std::string(scheme) +
                "), and this engine cannot decrypt that kind of encryption.",
            ErrorKind::NotSupported};
}

Error unsupported(std::string_view what) {
    return {0, std::string(what), ErrorKind::NotSupported};
}

Error ioError(std::string_view path, std::string_view action, std::string_view detail) {
    return {0, "Could not " + std::string(action) + " " + quoted(path) + ": " + std::string(detail) + ".",
            ErrorKind::IOError};
}

} // namespace storage::errors
