#include "window_fixture.h"

#include "settings/settings_store.h"

#include <QWidget>

namespace testsupport {

WindowFixture::WindowFixture()
    : m_store(QString::fromStdString(m_dir.file("settings/Hedgemoor.ini"))),
      m_providers(RecordingProvider::registry(m_log)),
      m_services{m_store,
                 m_dialogs,
                 m_providers,
                 QString::fromStdString(m_dir.path().string()),
                 QString::fromStdString(m_dir.file("import.log")),
                 [this] { ++m_programEnds; }} {}

QString WindowFixture::stored(const QString& key) const {
    return m_store.read(settings::kSectionTarnwick, key, QStringLiteral("<absent>"));
}

bool WindowFixture::isStored(const QString& key) const { return stored(key) != QLatin1String("<absent>"); }

QString WindowFixture::writeTempFile(const std::string& name, const std::string& bytes) const {
    writeFile(m_dir.file(name), bytes);
    return tempFile(name);
}

} // namespace testsupport
