#pragma once

#include "database/ui/database_window.h"
#include "windows/window_services.h"

#include <memory>

namespace gui {

class Form2;

// The import window, created and loaded when the database window first refers to its
// table list, then kept (hidden or shown) until the program ends.
class ImportWindowSlot : public ImportWindowAccess {
public:
    ImportWindowSlot(Form1& databaseWindow, WindowServices& services);
    ~ImportWindowSlot() override;

    importer::TableList& List1() override;
    void show() override;
    bool askToStopRunningImport() override;

    Form2* window() const { return m_window.get(); }
    Form2& form2();

private:
    Form1& m_databaseWindow;
    WindowServices& m_services;
    std::unique_ptr<Form2> m_window;
};

// Form1's load, in this order: the skin switch, centring, the occasional visit of the
// maker's web site, the splash, caption and icon, the hand pointer, the stored path and
// password, and "Next >" at once when the stored path still names a file (the import
// window is then shown and Form1 hidden before Form1 was ever shown). A database given
// on the command line takes the stored path's place.
void Form1_Load(Form1& form1, WindowServices& services, const QString& databaseArgument = {});

// The database the program was started with ("Open with" gives one path), made absolute;
// empty unless the command line holds exactly one argument after the program.
QString databaseFromCommandLine(const QStringList& arguments);

} // namespace gui
