#pragma once

#include "import/user_interface.h"

#include <QStringList>

#include <chrono>
#include <cstdio>
#include <vector>

namespace cli {

// The user interface of the command line: "Done." goes to standard output and every
// other message to standard error; the column-name prompts ("Enter name for column #N:")
// are answered with the N-th of the names given up front, for every table the run
// defines (a name missing answers as a cancel does); progress is drawn on standard error
// when it is a terminal, and the run's summary after it.
class ConsoleUi : public importer::UserInterface {
public:
    explicit ConsoleUi(QStringList columnNames = {});
    ~ConsoleUi() override;

    void messageBox(const QString& text, importer::MessageIcon icon, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& defaultText) override;
    int mousePointer() const override { return m_pointer; }
    void setMousePointer(int pointer) override { m_pointer = pointer; }
    void processEvents() override {}
    void progress(const importer::ImportProgress& progress) override;
    void fileDone(const importer::FileReport& report) override { m_reports.push_back(report); }

    // The summary of the run that imported `paths`, on standard error.
    void writeSummary(const QStringList& paths, double seconds);

private:
    void endProgressLine();

    QStringList m_columnNames;
    int m_pointer = importer::pointer::kDefault;
    bool m_showProgress = false;
    bool m_progressShown = false;
    std::chrono::steady_clock::time_point m_started;
    std::chrono::steady_clock::time_point m_lastDrawn;
    std::vector<importer::FileReport> m_reports;
};

// Writes text to a stream as UTF-8, with the platform's line ends.
void writeText(std::FILE* stream, const QString& text);

} // namespace cli
