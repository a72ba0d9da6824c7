#pragma once

#include "windows/program_folder.h"

#include <QCursor>
#include <QString>

#include <optional>

namespace gui {

// The file of the hand pointer, looked up in the program folder.
inline const QString kHandCursorFile = QStringLiteral("HAND-M.CUR");

// A Windows cursor file (.cur) as a cursor with the file's own hot spot; nullopt when the
// file is missing or is no cursor that can be read.
std::optional<QCursor> loadCursorFile(const QString& path);

// The hand pointer from `programFolder`, or nullopt when it has none.
std::optional<QCursor> loadHandCursor(const ProgramFolder& programFolder);

} // namespace gui
