#include "window_fixture.h"

#include "database/ui/database_window.h"
#include "settings/setting_keys.h"
#include "windows/program_folder.h"
#include "windows/splash.h"
#include "windows/start_up.h"

#include <QDir>
#include <QImage>

namespace {

using testsupport::WindowFixture;

class ProgramFolderFiles : public WindowFixture {
protected:
    QString folder() const { return QString::fromStdString(m_dir.path().string()); }
    QString makeFolder(const std::string& name) const {
        QDir().mkpath(tempFile(name));
        return tempFile(name);
    }
};

TEST_F(ProgramFolderFiles, EveryPartOfANameMatchesIgnoringLetterCaseTheExactSpellingFirst) {
    const gui::ProgramFolder programFolder(folder());
    EXPECT_EQ(programFolder.find("HAND-M.CUR"), "");
    const QString hand = writeTempFile("hand-m.cur", "x");
    makeFolder("X");
    const QString skin = writeTempFile("X/O.Cjs", "x");
    const QString splash = makeFolder("sPLASH");
    EXPECT_EQ(programFolder.find("HAND-M.CUR"), hand);
    EXPECT_EQ(programFolder.find("x/o.cjs"), skin);
    EXPECT_EQ(programFolder.find("Splash"), splash);
    EXPECT_EQ(programFolder.find("drag.ico"), "");
    EXPECT_EQ(programFolder.find("x/drag.ico"), "");

    const QString exact = writeTempFile("HAND-M.CUR", "x");
    EXPECT_EQ(programFolder.find("HAND-M.CUR"), exact);
    EXPECT_EQ(programFolder.find("Hand-M.cur"), exact); // no exact spelling: the first in name order
}

TEST_F(ProgramFolderFiles, FilesBesideTheProgramComeBeforeThoseOfTheDataFolder) {
    const QString beside = makeFolder("bin");
    const QString data = makeFolder("share/tarnwick");
    const gui::ProgramFolder programFolder(beside, data);
    EXPECT_EQ(programFolder.find("drag.ico"), "");
    const QString installed = writeTempFile("share/tarnwick/DRAG.ICO", "x");
    EXPECT_EQ(programFolder.find("drag.ico"), installed);
    const QString own = writeTempFile("bin/drag.ico", "x");
    EXPECT_EQ(programFolder.find("drag.ico"), own);
    EXPECT_EQ(gui::ProgramFolder(beside).find("DRAG.ICO"), own);
}

// Through the windows: the skin and the splash from the installed data folder, named in
// any letter case.
TEST_F(ProgramFolderFiles, WindowsTakeTheSkinAndSplashFromTheDataFolderInAnyLetterCase) {
    const QString data = makeFolder("data");
    m_services.programFolder = gui::ProgramFolder(makeFolder("bin"), data);
    m_store.save(settings::kSectionName, settings::key::kName, gui::kAuthorName); // the short splash
    QWidget owner;
    EXPECT_EQ(gui::SplashShow(m_services, owner), nullptr);
    makeFolder("data/SPLASH");
    ASSERT_TRUE(QImage(20, 10, QImage::Format_RGB32).save(tempFile("data/SPLASH/a.png"), "PNG"));
    EXPECT_NE(gui::SplashShow(m_services, owner), nullptr);

    makeFolder("data/X");
    writeTempFile("data/X/O.CJS", "skin");
    gui::Form1 form1(m_services);
    gui::Form1_Load(form1, m_services);
    EXPECT_EQ(form1.backgroundRole(), QPalette::Button);
}

} // namespace
