#include "QtPrinters.h"
#include "WindowTestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Link = MainForm::Link;

class MainFormSignals : public WindowTest
{
protected:
    void click(const char* name, Qt::MouseButton button = Qt::LeftButton) { QTest::mouseClick(control(name), button); }

    void activate()
    {
        QApplication::setActiveWindow(m_form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    }
};

TEST_F(MainFormSignals, SearchAsksWithTheTypedWordsByButtonOrEnter)
{
    auto* box = control<QLineEdit>("tbSearchNorvane");
    QSignalSpy searches(m_form.get(), &MainForm::searchRequested);
    QSignalSpy boxSawEnter(box, &QLineEdit::returnPressed);
    // The words go as typed; the address is built, and the ends trimmed, in WebLinks. Blanks ask for nothing.
    const std::pair<QString, int> cases[] = {{QStringLiteral("  spam  filter "), 3},
                                             {QString(), 0},
                                             {QStringLiteral(" \t "), 0},
                                             {QStringLiteral("a&b"), 3}};
    for (const auto& [words, asked] : cases) {
        SCOPED_TRACE(words.toStdString());
        searches.clear();
        box->setText(words);
        click("cmdGo");
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Enter, Qt::ShiftModifier);
        QTest::keyClick(box, Qt::Key_Tab);
        ASSERT_EQ(searches.count(), asked);
        for (const QList<QVariant>& search : searches)
            EXPECT_EQ(search.at(0).toString(), words);
    }
    EXPECT_EQ(boxSawEnter.count(), 8) << "the search box still gets the Enter key";
}

TEST_F(MainFormSignals, EveryLinkAsksByClickOrByTheKeyItsTooltipShows)
{
    activate();
    QSignalSpy links(m_form.get(), &MainForm::linkActivated);
    QSignalSpy abouts(m_form.get(), &MainForm::aboutRequested);
    const struct
    {
        const char* name;
        QKeyCombination key;
        const char* tooltip;
        std::optional<Link> link;
    } cases[] = {
        {"lblNorvane", Qt::CTRL | Qt::Key_N, "Open the search site's home page (Ctrl+N)", Link::SearchSite},
        {"lbProvidedby", Qt::CTRL | Qt::Key_H, "Open the provider's web site (Ctrl+H)", Link::Provider},
        {"lblTitle", Qt::CTRL | Qt::Key_M, "Open the maker's web site (Ctrl+M)", Link::Maker},
        {"lblAbout", Qt::Key_F1, "About (F1)\nOpen a message file (Ctrl+O)", std::nullopt},
    };
    for (const auto& link : cases) {
        SCOPED_TRACE(link.name);
        links.clear();
        abouts.clear();
        EXPECT_EQ(control(link.name)->toolTip(), QLatin1String(link.tooltip));
        click(link.name, Qt::RightButton);
        click(link.name);
        QTest::keySequence(m_form->windowHandle(), QKeySequence(link.key));
        if (link.link) {
            ASSERT_EQ(links.count(), 2) << "the click and the key, and nothing for the right button";
            EXPECT_EQ(links.at(0).at(0).value<Link>(), *link.link);
            EXPECT_EQ(links.at(1).at(0).value<Link>(), *link.link);
            EXPECT_EQ(abouts.count(), 0);
        } else {
            EXPECT_EQ(abouts.count(), 2) << "the click and the key, and nothing for the right button";
            EXPECT_EQ(links.count(), 0);
        }
    }
    EXPECT_TRUE(m_form->isVisible()) << "asking is all a link does";

    QTest::keyClick(m_form->windowHandle(), Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), control("tbSearchNorvane"));
}

TEST_F(MainFormSignals, XClosesTheWindowByClickOrKey)
{
    QSignalSpy closed(m_form.get(), &MainForm::closed);
    EXPECT_EQ(control("lblExit")->toolTip(), QStringLiteral("Close (Ctrl+Q)"));
    click("lblExit");
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_EQ(closed.count(), 1);

    m_form->show();
    activate();
    QTest::keyClick(m_form->windowHandle(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_FALSE(m_form->isVisible());
    EXPECT_EQ(closed.count(), 2);
}

} // namespace
