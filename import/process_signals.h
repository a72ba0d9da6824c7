#pragma once

#include <csignal>

namespace importer {

// A write past the file-size limit (ulimit -f) would end the process without a word;
// ignored, it fails with an ordinary write error that the import reports.
inline void ignoreFileSizeSignal() {
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace importer
