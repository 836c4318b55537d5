#include "mainwindow/MainFormLinks.h"
#include "QtPrinters.h"
#include "RecordingServices.h"
#include "WindowTestSupport.h"
#include "platform/AppIdentity.h"
#include "platform/AppInfo.h"
#include "startup/AboutForm.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString SearchAddress
    = QStringLiteral("http://%1/cgi-bin/search.cgi?term=").arg(QString::fromUtf8(AppIdentity::SearchHost));

class MainFormLinksTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        m_links = new MainFormLinks(m_form.get(), m_desktop.services(), [this] {
            ++m_aboutBoxesMade;
            return new AboutForm(AppInfo::current(), m_desktop.services());
        });
    }

    void click(const char* name) { QTest::mouseClick(control(name), Qt::LeftButton); }

    // Lets closed windows finish unloading.
    static void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    RecordingServices m_desktop;
    MainFormLinks* m_links = nullptr;
    int m_aboutBoxesMade = 0;
};

TEST_F(MainFormLinksTest, SearchOpensTheSiteWithTheTypedWordsByButtonOrEnter)
{
    struct Case
    {
        const char* name;
        QString words;
        QString term;
    };
    // The address itself is built and tested in WebLinks; here, that the typed words reach it both ways.
    const std::vector<Case> cases = {
        {"ends trimmed, inner spaces kept", QStringLiteral("  spam  filter "), QStringLiteral("spam++filter")},
        {"empty box", QString(), QString()},
        {"ampersand", QStringLiteral("a&b"), QStringLiteral("a%26b")},
    };
    auto* box = control<QLineEdit>("tbSearchNorvane");
    QSignalSpy boxSawEnter(box, &QLineEdit::returnPressed);
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        m_desktop.addresses->clear();
        box->setText(testCase.words);
        click("cmdGo");
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter, Qt::ShiftModifier);
        QTest::keyClick(box, Qt::Key_Tab);
        EXPECT_EQ(*m_desktop.addresses, QStringList(3, SearchAddress + testCase.term));
    }
    EXPECT_EQ(boxSawEnter.count(), 2 * qsizetype(cases.size())) << "the search box still gets the Enter key";
}

TEST_F(MainFormLinksTest, LinkLabelsOpenTheirSites)
{
    const QString savedDomain = QCoreApplication::organizationDomain();
    QCoreApplication::setOrganizationDomain(QStringLiteral("www.fenwicklark.example"));
    click("lblNorvane");
    click("lbProvidedby");
    click("lblTitle");
    // The maker's domain is read at the click, not when the window opened.
    QCoreApplication::setOrganizationDomain(QStringLiteral("www.moved.example"));
    click("lblTitle");
    QCoreApplication::setOrganizationDomain(savedDomain);

    EXPECT_EQ(
        *m_desktop.addresses,
        (QStringList {QStringLiteral("http://") + QString::fromUtf8(AppIdentity::SearchHost),
                      QStringLiteral("http://") + QString::fromUtf8(AppIdentity::ProviderHost),
                      QStringLiteral("http://www.fenwicklark.example"), QStringLiteral("http://www.moved.example")}));
    EXPECT_TRUE(m_form->isVisible()) << "a link click does nothing else";
}

TEST_F(MainFormLinksTest, EveryLinkHasAKeyThatItsTooltipShows)
{
    QApplication::setActiveWindow(m_form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    const struct
    {
        const char* name;
        QKeyCombination key;
        const char* shown;
    } links[] = {
        {"lblNorvane", Qt::CTRL | Qt::Key_N, "Ctrl+N"},
        {"lbProvidedby", Qt::CTRL | Qt::Key_H, "Ctrl+H"},
        {"lblTitle", Qt::CTRL | Qt::Key_M, "Ctrl+M"},
    };
    for (const auto& link : links) {
        SCOPED_TRACE(link.name);
        EXPECT_TRUE(control(link.name)->toolTip().endsWith(QStringLiteral("(%1)").arg(QLatin1String(link.shown))));
        m_desktop.addresses->clear();
        click(link.name);
        QTest::keySequence(m_form->windowHandle(), QKeySequence(link.key));
        ASSERT_EQ(m_desktop.addresses->size(), 2);
        EXPECT_EQ(m_desktop.addresses->at(1), m_desktop.addresses->at(0)) << "the key does what the click does";
    }

    QTest::keyClick(m_form->windowHandle(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), control("tbSearchNorvane"));

    EXPECT_EQ(control("lblAbout")->toolTip(), QStringLiteral("About (F1)"));
    QTest::keyClick(m_form->windowHandle(), Qt::Key_F1);
    ASSERT_NE(m_links->aboutBox(), nullptr);
    EXPECT_TRUE(m_links->aboutBox()->isVisible());

    EXPECT_EQ(control("lblExit")->toolTip(), QStringLiteral("Close (Ctrl+Q)"));
    QApplication::setActiveWindow(m_form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    QTest::keyClick(m_form->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    settle();
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_EQ(m_links->aboutBox(), nullptr);
}

TEST_F(MainFormLinksTest, AboutShowsOneModelessAboutBox)
{
    click("lblAbout");
    QPointer<QWidget> about = m_links->aboutBox();
    ASSERT_FALSE(about.isNull());
    EXPECT_EQ(about->objectName(), QStringLiteral("frmAbout"));
    EXPECT_TRUE(about->isVisible());
    EXPECT_FALSE(about->isModal());
    EXPECT_TRUE(m_form->isEnabled());

    click("lblAbout");
    EXPECT_EQ(m_aboutBoxesMade, 1);
    EXPECT_EQ(m_links->aboutBox(), about.data());

    // Closed and asked for again, the box is loaded afresh.
    about->close();
    settle();
    EXPECT_TRUE(about.isNull());
    click("lblAbout");
    EXPECT_EQ(m_aboutBoxesMade, 2);
    EXPECT_TRUE(m_links->aboutBox()->isVisible());
}

TEST_F(MainFormLinksTest, ClosingTheMainWindowClosesTheAboutBox)
{
    struct Case
    {
        const char* name;
        bool aboutOpen;
        bool byExitLabel;
    };
    for (const Case& testCase :
         {Case {"X with the About box open", true, true}, Case {"X without an About box", false, true},
          Case {"system close with the About box open", true, false}}) {
        SCOPED_TRACE(testCase.name);
        m_form->show();
        if (testCase.aboutOpen)
            click("lblAbout");
        QPointer<QWidget> about = m_links->aboutBox();

        if (testCase.byExitLabel)
            click("lblExit");
        else
            m_form->close();
        settle();

        EXPECT_FALSE(m_form->isVisible());
        EXPECT_TRUE(about.isNull());
        const QWidgetList windows = QApplication::topLevelWidgets();
        EXPECT_TRUE(std::none_of(windows.begin(), windows.end(), [](QWidget* window) { return window->isVisible(); }))
            << "no window is left, so the program ends";
    }
}

} // namespace
