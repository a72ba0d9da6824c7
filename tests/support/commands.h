#pragma once

#include <string>

namespace testsupport {

// Runs `command` through the shell; its standard output goes into `output`. True when
// it exited with status 0.
bool runCommand(const std::string& command, std::string& output);

// `text` as one word of the shell, in single quotes.
std::string shellQuote(const std::string& text);

// Whether the mdbtools programs the tests read databases with are installed.
bool haveMdbtools();

} // namespace testsupport
