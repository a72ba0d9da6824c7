#pragma once

#include "import/import_run.h"
#include "import/import_sources.h"
#include "windows/list_box_table_list.h"
#include "windows/window_pointer.h"
#include "windows/window_services.h"
#include "windows/window_user_interface.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace database {
class DatabaseLocation;
}
namespace filelist {
class FileListView;
}

namespace gui {

class HoverPointerRules;
class ScreenFit;

// Form2, the import window: the file list, the separator, the create or append mode
// with their options, the two help buttons, "Start Importing" and the way back to the
// database window. Every option is saved the moment it changes and restored when the
// window loads. The import run takes the options, the files and the target table when it
// starts; while it goes, the controls that would change them are disabled.
class Form2 : public QWidget, public importer::ImportOptions {
    Q_OBJECT
public:
    // `databaseWindow` is shown again by "Switch Access Database"; `location` gives the
    // database path and password at every open. Both outlive this window.
    Form2(QWidget& databaseWindow, const database::DatabaseLocation& location, WindowServices& services,
          QWidget* parent = nullptr);
    ~Form2() override;

    importer::TableList& List1() { return *m_tableList; }
    filelist::FileListView& ListView1() { return *m_listView1; }
    WindowPointer& pointer() { return m_pointer; }

    bool Option1() const override;
    bool Option2() const override;
    bool Option3() const override;
    bool Option4() const override;
    bool Option5() const override;
    bool Option6() const override;
    bool Option7() const override;
    int Check2() const override;
    QString Text2() const override;
    QString Text3() const override;

    // The handlers, named after their control and event.
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Option5_Click();
    void Option6_Click();
    void Option7_Click();
    void Check2_Click();
    void Text2_Change();
    void Text3_Change();
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton7_Click();
    void PushButton5_Click();
    void PushButton6_Click();
    void PushButton8_Click();

    // While an import run is going, closing a window asks whether to stop it; after a Yes
    // the run stops at its next statement and then the program ends. Returns whether a
    // run is going, in which case the close must not go ahead.
    bool askToStopRunningImport();

    static const QString kSeparatorHelp;
    static const QString kAppendHelp;
    static const QString kStopImportQuestion;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void setTabOrder();
    void connectHandlers();
    void Form_Load();
    void restoreOption(QRadioButton* button, const QString& key, bool defaultValue, void (Form2::*click)());
    void applyCreateRules();
    void applyAppendRules();
    void saveModeKeys();
    void saveColumnNameKeys();
    void saveSeparatorKeys();
    void showProgress(const std::optional<importer::ImportProgress>& progress);
    void enableRunControls(bool enabled);

    QWidget& m_databaseWindow;
    const database::DatabaseLocation& m_location;
    WindowServices& m_services;
    WindowPointer m_pointer;
    WindowUserInterface m_ui;

    filelist::FileListView* m_listView1 = nullptr;
    QPushButton* m_pushButton1 = nullptr;
    QPushButton* m_pushButton2 = nullptr;
    QPushButton* m_pushButton3 = nullptr;
    QPushButton* m_pushButton4 = nullptr;
    QPushButton* m_pushButton5 = nullptr;
    QPushButton* m_pushButton6 = nullptr;
    QPushButton* m_pushButton7 = nullptr;
    QPushButton* m_pushButton8 = nullptr;
    QGroupBox* m_frame1 = nullptr;
    QGroupBox* m_frame2 = nullptr;
    QGroupBox* m_frame3 = nullptr;
    QGroupBox* m_frame4 = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label5 = nullptr;
    QRadioButton* m_option1 = nullptr;
    QRadioButton* m_option2 = nullptr;
    QRadioButton* m_option3 = nullptr;
    QRadioButton* m_option4 = nullptr;
    QRadioButton* m_option5 = nullptr;
    QRadioButton* m_option6 = nullptr;
    QRadioButton* m_option7 = nullptr;
    QLineEdit* m_text2 = nullptr;
    QLineEdit* m_text3 = nullptr;
    QListWidget* m_list1 = nullptr;
    QCheckBox* m_check2 = nullptr;

    std::unique_ptr<ListBoxTableList> m_tableList;
    HoverPointerRules* m_hoverRules = nullptr;
    ScreenFit* m_screenFit = nullptr;
    std::unique_ptr<importer::ImportRun> m_run;
    bool m_endAfterRun = false; // the user chose to stop the run and close
};

} // namespace gui
