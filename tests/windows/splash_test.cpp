#include "window_fixture.h"

#include "settings/setting_keys.h"
#include "windows/splash.h"
#include "windows/twips.h"
#include "windows/web_site_visit.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QTest>

namespace {

using testsupport::WindowFixture;

class SplashShowing : public WindowFixture {
protected:
    // The quick wait keeps each shown splash to 0.4 seconds.
    SplashShowing() { m_store.save(settings::kSectionName, settings::key::kName, gui::kAuthorName); }
    void putPicture(const QString& name, int width, int height) {
        QDir().mkpath(tempFile("Splash"));
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        ASSERT_TRUE(picture.save(tempFile("Splash/" + name.toStdString()), "PNG"));
    }
    QWidget m_owner;
};

TEST_F(SplashShowing, NoPictureOrASwitchGivesNoSplashAndNoDelay) {
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(gui::SplashShow(m_services, m_owner), nullptr); // no folder
    QDir().mkpath(tempFile("Splash"));
    EXPECT_EQ(gui::SplashShow(m_services, m_owner), nullptr); // an empty one
    writeTempFile("Splash/a.txt", "no picture");
    EXPECT_EQ(gui::SplashShow(m_services, m_owner), nullptr);
    EXPECT_LT(clock.elapsed(), 300);

    QDir(tempFile("Splash")).remove("a.txt");
    putPicture("b.png", 30, 20);
    m_store.save(settings::kSectionTarnwick, settings::key::kShowAgain, "1");
    EXPECT_EQ(gui::SplashShow(m_services, m_owner), nullptr);
    m_store.save(settings::kSectionTarnwick, settings::key::kShowAgain, " 2.5 "); // converted as a number
    EXPECT_EQ(gui::SplashShow(m_services, m_owner), nullptr);
    m_store.save(settings::kSectionTarnwick, settings::key::kShowAgain, "0");
    m_store.save(settings::kSectionName, settings::key::kName2, gui::kAuthorName);
    EXPECT_EQ(gui::SplashShow(m_services, m_owner), nullptr);
    m_store.save(settings::kSectionName, settings::key::kName2, "tomas wendt"); // letter case counts
    EXPECT_NE(gui::SplashShow(m_services, m_owner), nullptr);
}

TEST_F(SplashShowing, WindowTakesThePictureSizeWithAStripForTheBoxWhichSavesShowAgain) {
    putPicture("a.png", gui::pixels(4000), gui::pixels(3000)); // the first name of the listing
    putPicture("b.png", 10, 10);
    QElapsedTimer clock;
    clock.start();
    gui::Splash* splash = gui::SplashShow(m_services, m_owner);
    ASSERT_NE(splash, nullptr);
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_FALSE(splash->isVisible()); // hidden again, still created
    EXPECT_EQ(splash->size(), QSize(gui::pixels(4000), gui::pixels(3300)));
    auto* check1 = control<QCheckBox>(*splash, "Check1");
    EXPECT_EQ(check1->y(), gui::pixels(3300) - gui::pixels(375) - gui::pixels(20));
    EXPECT_EQ(check1->text(), "Hide this at next startup");

    splash->show();
    QTest::mouseClick(check1, Qt::LeftButton, {}, QPoint(5, check1->height() / 2));
    EXPECT_EQ(stored("ShowAgain"), "1");
    QTest::mouseClick(check1, Qt::LeftButton, {}, QPoint(5, check1->height() / 2));
    EXPECT_EQ(stored("ShowAgain"), "0");
}

TEST(WebSiteVisit, OpensTheSiteOnlyWhenTheChanceSaysSo) {
    QStringList opened;
    gui::WebSiteVisit visit{[] { return false; }, [&](const QString& address) { opened << address; }};
    gui::MaybeVisitWebSite(visit);
    EXPECT_TRUE(opened.isEmpty());
    visit.chance = [] { return true; };
    gui::MaybeVisitWebSite(visit);
    EXPECT_EQ(opened, QStringList({gui::kWebSiteAddress}));
    gui::MaybeVisitWebSite(gui::WebSiteVisit{[] { return true; }, {}}); // no opener: nothing to do
}

} // namespace
