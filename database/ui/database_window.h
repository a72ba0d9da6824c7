#pragma once

#include "database/database_location.h"
#include "import/import_sources.h"
#include "windows/window_pointer.h"
#include "windows/window_services.h"
#include "windows/window_user_interface.h"

#include <QWidget>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace gui {

class HoverPointerRules;
class ScreenFit;

// What the database window needs of the import window, which is created only when
// "Next >" first refers to its table list.
class ImportWindowAccess {
public:
    virtual ~ImportWindowAccess() = default;
    // The import window's List1; the first call creates and loads the window.
    virtual importer::TableList& List1() = 0;
    virtual void show() = 0;
    // While an import run is going, asks whether to stop it (the program then ends when it
    // has stopped) and returns true: the window must not close yet. Otherwise false.
    virtual bool askToStopRunningImport() = 0;
};

// Form1, the database selection window: the database path and the password, which are
// the program's only copy of both (every connection string is built from these fields),
// "Next >" to test the database by its table catalogue and move on, and a browse dialog.
class Form1 : public QWidget, public database::DatabaseLocation {
    Q_OBJECT
public:
    explicit Form1(WindowServices& services, QWidget* parent = nullptr);
    ~Form1() override;

    void setImportWindow(ImportWindowAccess* importWindow) { m_importWindow = importWindow; }

    QString path() const override;
    QString password() const override;

    WindowPointer& pointer() { return m_pointer; }
    importer::UserInterface& ui() { return m_ui; }
    QLineEdit& Text1() { return *m_text1; }
    QLineEdit& Text2() { return *m_text2; }
    ScreenFit& screenFit() { return *m_screenFit; }

    void PushButton3_Click(); // "Next >"
    void PushButton5_Click(); // "..." browse
    void Text1_Change();
    void Text2_Change();

    static const QString kBrowseTitle;
    static const QStringList kBrowseFilters;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();

    WindowServices& m_services;
    WindowPointer m_pointer;
    WindowUserInterface m_ui;
    ImportWindowAccess* m_importWindow = nullptr;

    QGroupBox* m_frame1 = nullptr;
    QLabel* m_label5 = nullptr;
    QLabel* m_lblPassword = nullptr;
    QLineEdit* m_text1 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QPushButton* m_pushButton3 = nullptr;
    QPushButton* m_pushButton5 = nullptr;
    HoverPointerRules* m_hoverRules = nullptr;
    ScreenFit* m_screenFit = nullptr;
};

} // namespace gui
