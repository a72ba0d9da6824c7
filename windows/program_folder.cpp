#include "windows/program_folder.h"

#include <QDir>
#include <QFileInfo>

namespace gui {

namespace {

// The name in `folder` that equals `name` ignoring letter case: the exact spelling when it
// is there, otherwise the first in name order. Hidden entries do not count.
QString matchingName(const QDir& folder, const QString& name) {
    if (QFileInfo::exists(folder.filePath(name)))
        return name;
    const QStringList names = folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& candidate : names) {
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    }
    return {};
}

} // namespace

QString findIgnoringCase(const QString& folder, const QString& relativePath) {
    if (folder.isEmpty())
        return {};
    QDir current(folder);
    QString path;
    for (const QString& part : relativePath.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QString name = matchingName(current, part);
        if (name.isEmpty())
            return {};
        path = current.filePath(name);
        current.setPath(path);
    }
    return path;
}

QString ProgramFolder::find(const QString& relativePath) const {
    const QString beside = findIgnoringCase(m_besideProgram, relativePath);
    return beside.isEmpty() ? findIgnoringCase(m_dataFolder, relativePath) : beside;
}

} // namespace gui
