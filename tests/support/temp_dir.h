#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with its content.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

// Writes bytes to a file, replacing it.
void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
// Whether bytes hold `text` (ASCII) as it is, which is also how compressed Unicode text
// stores it, or as UTF-16LE.
bool holdsText(const std::string& bytes, const std::string& text);

} // namespace testsupport
