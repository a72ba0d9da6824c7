#pragma once

#include <QCoreApplication>

namespace importer {

// The names under which the program keeps its per-user files (the import log among them).
inline void applyApplicationIdentity() {
    QCoreApplication::setOrganizationName(QStringLiteral("Hedgemoor"));
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
}

} // namespace importer
