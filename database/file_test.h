#pragma once

#include <QString>

namespace database {

// True when the date and time of the path's last change can be read: an existing file
// or folder. Every failure (no such file, an invalid name, the empty text) is false;
// nothing is reported.
bool FileTest(const QString& path);

} // namespace database
