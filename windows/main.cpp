#include "database/dataaccess/provider.h"
#include "import/failure_report.h"
#include "import/process_signals.h"
#include "settings/settings_store.h"
#include "windows/import_window.h"
#include "windows/qt_dialogs.h"
#include "windows/start_up.h"
#include "windows/window_icons.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    importer::ignoreFileSizeSignal();
    QCoreApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QCoreApplication::setOrganizationName(QStringLiteral("Hedgemoor"));
    // The icon of every window without one of its own, message boxes included.
    QApplication::setWindowIcon(gui::applicationIcon());
    // One of the two windows is always hidden; closing either ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    settings::SettingsStore store;
    gui::QtDialogs dialogs;
    // The installed data folder lies at the same place relative to the program wherever
    // the whole tree is installed.
    const QString programFolder = QCoreApplication::applicationDirPath();
    const gui::ProgramFolder optionalFiles(
        programFolder, QDir::cleanPath(programFolder + QStringLiteral("/" TARNWICK_DATA_FROM_PROGRAM)));
    gui::WindowServices services{store,
                                 dialogs,
                                 dataaccess::ProviderRegistry::standard(),
                                 optionalFiles,
                                 importer::defaultImportLogPath(),
                                 [] { QCoreApplication::quit(); },
                                 gui::standardWebSiteVisit()};

    gui::Form1 form1(services);
    gui::ImportWindowSlot importWindow(form1, services);
    form1.setImportWindow(&importWindow);
    gui::Form1_Load(form1, services, gui::databaseFromCommandLine(QCoreApplication::arguments()));
    // When the stored (or given) database opened during the load, the import window is already up.
    if (!importWindow.window() || !importWindow.window()->isVisible())
        form1.show();
    return app.exec();
}
