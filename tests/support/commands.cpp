#include "support/commands.h"

#include <array>
#include <cstdio>

namespace testsupport {

bool runCommand(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return false;
    std::array<char, 65536> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), got);
    return ::pclose(pipe) == 0;
}

std::string shellQuote(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool haveMdbtools() {
    static const bool found = [] {
        std::string ignored;
        return runCommand("command -v mdb-ver && command -v mdb-tables && command -v mdb-schema && "
                          "command -v mdb-export",
                          ignored);
    }();
    return found;
}

} // namespace testsupport
