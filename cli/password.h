#pragma once

#include "cli/arguments.h"

#include <optional>

namespace cli {

// Where a command's password comes from, so that it need not stand in the process list.
// The first that gives one wins:
//   1. --password PW, or the first line of --password-file FILE (without its line end);
//      giving both is a usage error;
//   2. the environment variable TARNWICK_PASSWORD (not for new-database, where a variable
//      set for opening databases would quietly put a password on a new file);
//   3. a prompt without echo, only when standard input is a terminal and the database
//      refuses to open without a password (not for new-database).
// Returns the arguments with the password as --password, or the exit status after the
// problem was written to standard error (2 usage, 1 an unreadable password file).
struct PasswordResult {
    Arguments arguments;
    int failure = 0; // 0: go on with `arguments`
};
PasswordResult withPassword(Arguments arguments);

} // namespace cli
