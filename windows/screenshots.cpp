// Renders the two windows and the import window's help boxes to PNG files from the real
// widgets, for the documentation. Run under the offscreen platform; the settings go to
// a temporary file so the user's own store is left alone.

#include "database/database_location.h"
#include "filelist/ui/file_list_view.h"
#include "settings/settings_store.h"
#include "windows/application_title.h"
#include "windows/import_window.h"
#include "windows/qt_dialogs.h"
#include "windows/start_up.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

// The screenshots show no dialog of their own; anything asked is answered empty.
class SilentDialogs : public gui::Dialogs {
public:
    void messageBox(QWidget*, const QString&, importer::MessageIcon, const QString&) override {}
    bool question(QWidget*, const QString&, const QString&) override { return false; }
    QString inputBox(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString openFileName(QWidget*, const gui::FileDialogRequest&) override { return {}; }
    QStringList openFileNames(QWidget*, const gui::FileDialogRequest&) override { return {}; }
    QString folderName(QWidget*, const QString&) override { return {}; }
};

bool save(QWidget& widget, const QDir& folder, const QString& name) {
    widget.show();
    QCoreApplication::processEvents();
    const QString path = folder.filePath(name);
    const bool saved = widget.grab().save(path, "PNG");
    QTextStream(stdout) << (saved ? "wrote " : "could not write ") << path << Qt::endl;
    return saved;
}

bool saveMessageBox(QWidget& parent, const QString& text, const QDir& folder, const QString& name) {
    std::unique_ptr<QMessageBox> box(
        gui::createMessageBox(&parent, text, importer::MessageIcon::None, gui::kApplicationTitle));
    return save(*box, folder, name);
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("docs/screenshots");
    QDir folder;
    if (!folder.mkpath(output))
        return 1;
    folder.setPath(output);

    QTemporaryDir temporary;
    settings::SettingsStore store(temporary.filePath(QStringLiteral("settings.ini")));
    SilentDialogs dialogs;
    gui::WindowServices services{store, dialogs, dataaccess::ProviderRegistry::standard(), temporary.path(),
                                 temporary.filePath(QStringLiteral("import.log")), {}};

    gui::Form1 form1(services);
    gui::ImportWindowSlot importWindow(form1, services);
    form1.setImportWindow(&importWindow);
    gui::Form1_Load(form1, services);
    form1.Text1().setText(QStringLiteral("C:\\Data\\Sales.accdb"));
    form1.Text2().setText(QStringLiteral("secret"));
    bool ok = save(form1, folder, QStringLiteral("database_window.png"));
    form1.hide();

    gui::Form2& form2 = importWindow.form2();
    for (const char* path : {"C:\\Data\\january.txt", "C:\\Data\\february.csv", "C:\\Data\\march.txt"})
        form2.ListView1().addEntry(QString::fromLatin1(path));
    for (const char* table : {"Customers", "Orders", "Order Details"})
        form2.List1().addItem(QString::fromLatin1(table));
    form2.List1().setSelectedIndex(0);
    ok = save(form2, folder, QStringLiteral("import_window.png")) && ok;

    form2.findChild<QRadioButton*>(QStringLiteral("Option2"))->click();
    ok = save(form2, folder, QStringLiteral("import_window_append.png")) && ok;
    form2.findChild<QRadioButton*>(QStringLiteral("Option1"))->click();

    ok = saveMessageBox(form2, gui::Form2::kSeparatorHelp, folder, QStringLiteral("separator_help.png")) && ok;
    ok = saveMessageBox(form2, gui::Form2::kAppendHelp, folder, QStringLiteral("append_help.png")) && ok;
    return ok ? 0 : 1;
}
