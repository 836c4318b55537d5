#include "app/AppStartup.h"
#include "platform/AppIdentity.h"
#include "platform/AppInfo.h"
#include "startup/AboutForm.h"
#include "startup/SplashForm.h"

#include "QtPrinters.h"
#include "RecordingServices.h"
#include "TemporaryFiles.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

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
    EXPECT_TRUE(m_desktop.messages->isEmpty()) << "an address the browser took needs no word";
}

TEST_F(AppStartupTest, WithoutABrowserEveryLinkNamesItsAddressForTheUserToCopy)
{
    openMainWindow();
    *m_desktop.hasBrowser = false;
    auto* searchBox = m_startup.mainForm()->findChild<QLineEdit*>(QStringLiteral("tbSearchNorvane"));
    const QString searchSite = QStringLiteral("http://") + QString::fromUtf8(AppIdentity::SearchHost);
    const QString makerSite = QStringLiteral("http://") + AppInfo::current().Comments;
    const struct
    {
        const char* name;
        std::function<void()> act;
        QString address;
    } cases[] = {
        {"search site", [this] { click("lblNorvane"); }, searchSite},
        {"maker", [this] { click("lblTitle"); }, makerSite},
        {"search",
         [&] {
             searchBox->setText(QStringLiteral("free offer"));
             click("cmdGo");
         },
         searchSite + QStringLiteral("/cgi-bin/search.cgi?term=free+offer")},
        {"About box's copyright",
         [this] {
             click("lblAbout");
             QTest::mouseClick(m_startup.aboutBox()->findChild<QWidget*>(QStringLiteral("lblCopyright")),
                               Qt::LeftButton);
         },
         makerSite},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype opened = m_desktop.addresses->size();
        const qsizetype shown = m_desktop.messages->size();
        c.act();
        ASSERT_EQ(m_desktop.addresses->size(), opened + 1);
        ASSERT_EQ(m_desktop.messages->size(), shown + 1);
        const MessageBoxRequest& message = m_desktop.messages->constLast();
        EXPECT_EQ(message.icon, MessageIcon::Warning);
        EXPECT_EQ(message.title, QStringLiteral("Tallyvex"));
        EXPECT_TRUE(message.text.endsWith(QStringLiteral("\n\n") + c.address)) << message.text.toStdString();
    }
}

} // namespace

TEST_F(AppStartupTest, CtrlOFillsTheBoxesFromTheChosenMessageFile)
{
    openMainWindow();
    MainForm* form = m_startup.mainForm();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    auto* subject = form->findChild<QLineEdit*>(QStringLiteral("tbSubject"));
    auto* body = form->findChild<QPlainTextEdit*>(QStringLiteral("tbInput"));
    QTemporaryDir folder;
    struct Case
    {
        const char* name;
        QString file;
        QString subject;
        QString body;
        bool reported;
    };
    const std::vector<Case> cases {
        {"text file", writeFile(folder, "draft.txt", "Act now\r\n"), QString(), QStringLiteral("Act now\n"), false},
        {"saved e-mail", QStringLiteral(TALLYVEX_TEST_DATA "/eml/alternative.eml"), QStringLiteral("Weekly news"),
         QStringLiteral("Click here for free money"), false},
        {"HTML page",
         writeFile(folder, "offer.html", "<html><head><title>Offer</title></head><body><p>Free</p></body></html>"),
         QStringLiteral("Offer"), QStringLiteral("Free"), false},
        {"unreadable file", folder.filePath(QStringLiteral("missing.eml")), QStringLiteral("Offer"),
         QStringLiteral("Free"), true},
        {"cancelled", QString(), QStringLiteral("Offer"), QStringLiteral("Free"), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        *m_desktop.chosenFile = c.file;
        const int dialogs = *m_desktop.fileDialogs;
        const qsizetype messages = m_desktop.messages->size();
        QTest::keyClick(form->windowHandle(), Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(*m_desktop.fileDialogs, dialogs + 1);
        EXPECT_EQ(subject->text(), c.subject);
        EXPECT_EQ(body->toPlainText(), c.body);
        EXPECT_EQ(m_desktop.messages->size(), messages + (c.reported ? 1 : 0));
    }
}

TEST_F(AppStartupTest, NoHighlightStartsWithTheMarksOff)
{
    const struct
    {
        QStringList arguments;
        bool highlight;
    } cases[] = {
        {{QStringLiteral("tallyvex")}, true},
        {{QStringLiteral("tallyvex"), QStringLiteral("--no-highlight")}, false},
        {{QStringLiteral("--no-highlight")}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        AppStartup startup(m_desktop.services(), QString(), QLocale::system(),
                           StartOptions::fromArguments(c.arguments));
        startup.start();
        startup.splash()->findChild<QTimer*>(QStringLiteral("Timer1"))->start(1);
        ASSERT_TRUE(QTest::qWaitFor([&] { return startup.mainForm() != nullptr; }));
        EXPECT_EQ(startup.mainForm()->isHighlighting(), c.highlight);
        startup.mainForm()->close();
    }
}
