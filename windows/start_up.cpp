#include "windows/start_up.h"

#include "database/file_test.h"
#include "settings/setting_keys.h"
#include "settings/settings_store.h"
#include "windows/application_title.h"
#include "windows/button_face.h"
#include "windows/hand_cursor.h"
#include "windows/import_window.h"
#include "windows/screen_fit.h"
#include "windows/splash.h"
#include "windows/window_icons.h"

#include <QFileInfo>
#include <QLineEdit>

namespace gui {

ImportWindowSlot::ImportWindowSlot(Form1& databaseWindow, WindowServices& services)
    : m_databaseWindow(databaseWindow), m_services(services) {}

ImportWindowSlot::~ImportWindowSlot() = default;

Form2& ImportWindowSlot::form2() {
    if (!m_window)
        m_window = std::make_unique<Form2>(m_databaseWindow, m_databaseWindow, m_services);
    return *m_window;
}

importer::TableList& ImportWindowSlot::List1() { return form2().List1(); }

void ImportWindowSlot::show() { form2().show(); }

bool ImportWindowSlot::askToStopRunningImport() {
    return m_window && m_window->askToStopRunningImport();
}

namespace {

// A skin file in the program folder turns the white design into the button-face colour;
// there is no skin engine, so the colours are all the skin changes. Hidden files do not count.
void SkinSwitch(Form1& form1, const ProgramFolder& programFolder) {
    const QFileInfo skin(programFolder.find(QStringLiteral("x/o.cjs")));
    if (!skin.isFile() || skin.isHidden())
        return;
    applyButtonFace(form1);
}

} // namespace

void Form1_Load(Form1& form1, WindowServices& services, const QString& databaseArgument) {
    SkinSwitch(form1, services.programFolder);
    form1.screenFit().fitAndCentre();
    MaybeVisitWebSite(services.webSiteVisit);
    SplashShow(services, form1);
    form1.setWindowTitle(kApplicationTitle);
    form1.setWindowIcon(applicationIcon());
    form1.pointer().setCustomCursor(loadHandCursor(services.programFolder));
    // Setting the fields raises their change handling, which stores the values again.
    form1.Text1().setText(databaseArgument.isEmpty()
                              ? services.store.read(settings::kSectionTarnwick, settings::key::kDatabase)
                              : databaseArgument);
    form1.Text2().setText(services.store.read(settings::kSectionTarnwick, settings::key::kPassword));
    if (database::FileTest(form1.Text1().text()))
        form1.PushButton3_Click();
}

QString databaseFromCommandLine(const QStringList& arguments) {
    if (arguments.size() != 2 || arguments[1].isEmpty())
        return {};
    return QFileInfo(arguments[1]).absoluteFilePath();
}

} // namespace gui
