#include "app/AppStartup.h"
#include "platform/AppIdentity.h"
#include "platform/AppInfo.h"
#include "startup/AboutForm.h"
#include "startup/SplashForm.h"

#include "QtPrinters.h"
#include "RecordingServices.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The program from its splash screen on, in-process, with the desktop's services recorded.
class AppStartupTest : public testing::Test
{
protected:
    void SetUp() override { AppInfo::registerBuildIdentity(); }

    // Lets the splash screen's timer tick now and waits for the main window it opens.
    void openMainWindow()
    {
        m_startup.start();
        QPointer<SplashForm> splash = m_startup.splash();
        ASSERT_FALSE(splash.isNull());
        EXPECT_TRUE(splash->isVisible());
        splash->findChild<QTimer*>(QStringLiteral("Timer1"))->start(1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return m_startup.mainForm() != nullptr; }));
        settle();
        EXPECT_TRUE(splash.isNull()) << "the splash screen ends once the main window is up";
        EXPECT_TRUE(m_startup.mainForm()->isVisible());
    }

    void click(const char* name)
    {
        auto* control = m_startup.mainForm()->findChild<QWidget*>(QString::fromLatin1(name));
        ASSERT_NE(control, nullptr) << name;
        QTest::mouseClick(control, Qt::LeftButton);
    }

    // Lets closed windows finish unloading.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    static bool anyWindowVisible()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(), [](QWidget* window) { return window->isVisible(); });
    }

    RecordingServices m_desktop;
    AppStartup m_startup {m_desktop.services()};
};

TEST_F(AppStartupTest, SplashThenMainWindowThenOneAboutBoxThatClosesWithIt)
{
    openMainWindow();

    click("lblAbout");
    QPointer<AboutForm> about = m_startup.aboutBox();
    ASSERT_FALSE(about.isNull());
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    click("lblAbout");
    EXPECT_EQ(m_startup.aboutBox(), about.data()) << "one About box at a time";

    // Closed and asked for again, the box is loaded afresh.
    about->close();
    settle();
    EXPECT_TRUE(about.isNull());
    click("lblAbout");
    about = m_startup.aboutBox();
    ASSERT_FALSE(about.isNull());
    EXPECT_TRUE(about->isVisible());

    click("lblExit");
    settle();
    EXPECT_TRUE(about.isNull()) << "closing the main window closes the About box";
    EXPECT_FALSE(anyWindowVisible()) << "no window is left, so the program ends";
}

TEST_F(AppStartupTest, SystemCloseOfTheMainWindowClosesTheAboutBox)
{
    openMainWindow();
    click("lblAbout");
    QPointer<AboutForm> about = m_startup.aboutBox();
    m_startup.mainForm()->close();
    settle();
    EXPECT_TRUE(about.isNull());
    EXPECT_FALSE(anyWindowVisible());
}

TEST_F(AppStartupTest, LinksAndSearchOpenTheirAddresses)
{
    openMainWindow();
    const QString savedDomain = QCoreApplication::organizationDomain();
    click("lblNorvane");
    click("lbProvidedby");
    QCoreApplication::setOrganizationDomain(QStringLiteral("www.fenwicklark.example"));
    click("lblTitle");
    // The maker's domain is read at the click, not when the window opened.
    QCoreApplication::setOrganizationDomain(QStringLiteral("www.moved.example"));
    click("lblTitle");
    QCoreApplication::setOrganizationDomain(savedDomain);
    m_startup.mainForm()->findChild<QLineEdit*>(QStringLiteral("tbSearchNorvane"))->setText(QStringLiteral(" a&b "));
    click("cmdGo");

    const QString search = QString::fromUtf8(AppIdentity::SearchHost);
    EXPECT_EQ(
        *m_desktop.addresses,
        (QStringList {QStringLiteral("http://") + search,
                      QStringLiteral("http://") + QString::fromUtf8(AppIdentity::ProviderHost),
                      QStringLiteral("http://www.fenwicklark.example"), QStringLiteral("http://www.moved.example"),
                      QStringLiteral("http://%1/cgi-bin/search.cgi?term=a%26b").arg(search)}));
    EXPECT_TRUE(m_startup.aboutBox() == nullptr) << "a link opens nothing else";
}

} // namespace
