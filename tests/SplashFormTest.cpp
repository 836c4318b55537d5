#include "startup/SplashForm.h"
#include "platform/AppInfo.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <tuple>
#include <vector>

namespace {

const AppInfo BuildIdentity {QStringLiteral("Tallyvex"),
                             QStringLiteral("Fenwick Lark Software"),
                             QStringLiteral("www.fenwicklark.example"),
                             1,
                             2,
                             11};

QString textOf(const QWidget& form, const char* name)
{
    const auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

// Records the steps of the splash screen's end, in order.
class EndWatcher : public QObject
{
public:
    QStringList steps;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        QString step;
        if (event->type() == QEvent::CursorChange)
            step = QStringLiteral("pointer restored");
        else if (event->type() == QEvent::DeferredDelete)
            step = QStringLiteral("unloaded");
        // Qt may announce one pointer change more than once.
        if (!step.isEmpty() && (steps.isEmpty() || steps.last() != step))
            steps << step;
        return false;
    }
};

// Lets Timer1 tick now instead of after 2.5 seconds.
void tickSoon(QWidget* splash)
{
    splash->findChild<QTimer*>(QStringLiteral("Timer1"))->start(1);
}

TEST(SplashForm, LoadFillsTheLabels)
{
    struct Case
    {
        const char* name;
        AppInfo info;
        QString version;
        QString copyright;
    };
    const std::vector<Case> cases = {
        {"build identity", BuildIdentity, QStringLiteral("Version 1.2"),
         QStringLiteral("Copyright \u00A9 2003 Fenwick Lark Software. All rights reserved.")},
        {"no company",
         {QStringLiteral("Tallyvex"), QString(), QString(), 1, 2, 11},
         QStringLiteral("Version 1.2"),
         QStringLiteral("Copyright \u00A9 2003. All rights reserved.")},
        {"two-digit parts",
         {QStringLiteral("Tallyvex"), QStringLiteral("Ardmore"), QString(), 12, 40, 7},
         QStringLiteral("Version 12.40"),
         QStringLiteral("Copyright \u00A9 2003 Ardmore. All rights reserved.")},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const SplashForm splash(testCase.info, [] {});
        EXPECT_EQ(splash.objectName(), QStringLiteral("frmSplash"));
        EXPECT_EQ(textOf(splash, "lblVersion"), testCase.version);
        EXPECT_EQ(textOf(splash, "lblTitle"), testCase.info.CompanyName);
        EXPECT_EQ(textOf(splash, "lblTitleShad"), testCase.info.CompanyName);
        EXPECT_EQ(textOf(splash, "lblps"), testCase.info.Title);
        EXPECT_EQ(textOf(splash, "lblPSShad"), testCase.info.Title);
        EXPECT_EQ(textOf(splash, "lblCopyright"), testCase.copyright);
        EXPECT_FALSE(textOf(splash, "lblWarning").contains(QStringLiteral("xxx")));
        EXPECT_TRUE(splash.windowTitle().isEmpty());
        EXPECT_EQ(splash.cursor().shape(), Qt::WaitCursor);
    }
}

TEST(SplashForm, ShowsTheMainWindowThenRestoresThePointerThenUnloads)
{
    EndWatcher watcher;
    int shown = 0;
    QPointer<SplashForm> splash;
    splash = new SplashForm(BuildIdentity, [&] {
        ++shown;
        ASSERT_FALSE(splash.isNull());
        EXPECT_TRUE(splash->isVisible()) << "the splash screen is still on screen";
        EXPECT_EQ(splash->cursor().shape(), Qt::WaitCursor);
        watcher.steps << QStringLiteral("main window shown");
    });
    splash->show();
    splash->installEventFilter(&watcher);

    tickSoon(splash);
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 2000));
    QTest::qWait(20);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(watcher.steps,
              (QStringList {QStringLiteral("main window shown"), QStringLiteral("pointer restored"),
                            QStringLiteral("unloaded")}));
}

TEST(SplashForm, MainWindowThatFailsStillEndsTheSplashAndSaysWhy)
{
    for (const auto& [name, fail, reason] : std::vector<std::tuple<const char*, std::function<void()>, QString>> {
             {"a standard exception", [] { throw std::bad_alloc(); }, "std::bad_alloc"},
             {"anything else", [] { throw 42; }, "an unknown fault"},
         }) {
        SCOPED_TRACE(name);
        QPointer<SplashForm> splash = new SplashForm(BuildIdentity, fail);
        splash->show();
        tickSoon(splash);
        EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 2000));
        QMessageBox* box = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() == QStringLiteral("startFailure"))
                box = qobject_cast<QMessageBox*>(window);
        }
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        EXPECT_EQ(box->icon(), QMessageBox::Critical);
        EXPECT_EQ(box->text(), QStringLiteral("The main window cannot be opened: %1.").arg(reason));
        // Closed by the user, it would end the program.
        delete box;
    }
}

TEST(SplashForm, NeitherClosesEarlyNorDelays)
{
    int shown = 0;
    QPointer<SplashForm> splash = new SplashForm(BuildIdentity, [&] { ++shown; });
    splash->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(splash));
    const auto* timer = splash->findChild<QTimer*>(QStringLiteral("Timer1"));
    const int remainingBefore = timer->remainingTime();

    QTest::mouseClick(splash, Qt::LeftButton);
    QTest::keyClick(splash, Qt::Key_Escape);
    QTest::keyClick(splash, Qt::Key_Return);
    QTest::keyClick(splash, Qt::Key_F4, Qt::AltModifier);
    EXPECT_FALSE(splash->close()) << "a close request is refused";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_FALSE(splash.isNull());
    EXPECT_TRUE(splash->isVisible());
    EXPECT_TRUE(timer->isActive());
    EXPECT_LE(timer->remainingTime(), remainingBefore) << "the tick is not put off";
    EXPECT_EQ(shown, 0);

    tickSoon(splash);
    EXPECT_TRUE(QTest::qWaitFor([&] { return splash.isNull(); }, 2000));
    EXPECT_EQ(shown, 1);
}

} // namespace
