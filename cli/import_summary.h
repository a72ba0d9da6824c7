#pragma once

#include "import/user_interface.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace cli {

// The end of an import on the command line: for each file of the run the rows it put in,
// or why they are not in, then the rows, the time and the rows per second of the run.
QString importSummary(const QStringList& paths, const std::vector<importer::FileReport>& reports, double seconds);

} // namespace cli
