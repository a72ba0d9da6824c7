#pragma once

#include "import/import_sources.h"
#include "import/in_memory_lists.h"

namespace importer {

// The import options as they were at one moment. A run works from these, so that a
// control changed while it goes reaches none of its statements.
class OptionSnapshot final : public ImportOptions {
public:
    explicit OptionSnapshot(const ImportOptions& options)
        : m_option1(options.Option1()), m_option2(options.Option2()), m_option3(options.Option3()),
          m_option4(options.Option4()), m_option5(options.Option5()), m_option6(options.Option6()),
          m_option7(options.Option7()), m_check2(options.Check2()), m_text2(options.Text2()), m_text3(options.Text3()) {
    }

    bool Option1() const override { return m_option1; }
    bool Option2() const override { return m_option2; }
    bool Option3() const override { return m_option3; }
    bool Option4() const override { return m_option4; }
    bool Option5() const override { return m_option5; }
    bool Option6() const override { return m_option6; }
    bool Option7() const override { return m_option7; }
    int Check2() const override { return m_check2; }
    QString Text2() const override { return m_text2; }
    QString Text3() const override { return m_text3; }

private:
    bool m_option1, m_option2, m_option3, m_option4, m_option5, m_option6, m_option7;
    int m_check2;
    QString m_text2, m_text3;
};

// The paths of a file list as they were at one moment.
inline InMemoryFileList snapshotOf(const FileList& files) {
    QStringList paths;
    for (int position = 1; position <= files.count(); ++position)
        paths << files.text(position).value_or(QString());
    return InMemoryFileList(std::move(paths));
}

} // namespace importer
