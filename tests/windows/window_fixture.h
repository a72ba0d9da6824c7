#pragma once

#include "scripted_dialogs.h"

#include "settings/settings_store.h"
#include "support/recording_provider.h"
#include "support/temp_dir.h"
#include "windows/window_services.h"

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>



namespace testsupport {

// A temporary settings store and program folder, scripted dialogs and the recording
// provider, as both windows get them.
class WindowFixture : public ::testing::Test {
protected:
    WindowFixture();

    QString tempFile(const std::string& name) const { return QString::fromStdString(m_dir.file(name)); }
    QString stored(const QString& key) const;
    bool isStored(const QString& key) const;
    // Writes a file into the temporary folder and returns its path.
    QString writeTempFile(const std::string& name, const std::string& bytes) const;

    // The named control of `window`, failing the test when it is missing.
    template <typename Widget>
    Widget* control(QWidget& window, const char* name) {
        auto* widget = window.findChild<Widget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    TempDir m_dir;
    settings::SettingsStore m_store;
    ScriptedDialogs m_dialogs;
    RecordingLog m_log;
    dataaccess::ProviderRegistry m_providers;
    int m_programEnds = 0;
    gui::WindowServices m_services;
};

} // namespace testsupport
