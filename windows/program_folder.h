#pragma once

#include <QString>

namespace gui {

// Where the windows find their optional files (the hand pointer, the drag picture, the
// splash folder and the skin): beside the program first, then in the installed data
// folder (share/tarnwick). Every part of a name is matched ignoring letter case, as on the
// platform the files come from, the name's own spelling winning when several match.
class ProgramFolder {
public:
    // A folder path alone is a program folder without a data folder, as tests give it.
    ProgramFolder(const QString& besideProgram, const QString& dataFolder = {})
        : m_besideProgram(besideProgram), m_dataFolder(dataFolder) {}

    // The path of the file or folder `relativePath` ("HAND-M.CUR", "x/o.cjs"), or an empty
    // text when neither folder holds it.
    QString find(const QString& relativePath) const;

private:
    QString m_besideProgram;
    QString m_dataFolder;
};

// The entry `relativePath` below `folder`, each of its parts matched ignoring letter case;
// empty when there is none.
QString findIgnoringCase(const QString& folder, const QString& relativePath);

} // namespace gui
