#include "startup/AboutForm.h"
#include "RecordingServices.h"
#include "platform/AppInfo.h"
#include "platform/SystemInfoTool.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

AppInfo identity(const QString& company, const QString& comments = QStringLiteral("www.fenwicklark.example"))
{
    return {QStringLiteral("Tallyvex"), company, comments, 1, 2, 11};
}

QString textOf(const QWidget& form, const char* name)
{
    const auto* label = form.findChild<QLabel*>(QString::fromLatin1(name));
    return label ? label->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

struct LoadCase
{
    const char* name;
    AppInfo info;
    QString caption;
    QString version;
    QString copyright;
};

TEST(AboutForm, LoadFillsTheControlsFromTheIdentity)
{
    const std::vector<LoadCase> cases = {
        {"build identity", identity(QStringLiteral("Fenwick Lark Software")),
         QStringLiteral("Fenwick Lark Software Tallyvex"), QStringLiteral("Version 1.2.11"),
         QStringLiteral("Copyright \u00A9 2003 Fenwick Lark Software")},
        {"no company", identity(QString()), QStringLiteral(" Tallyvex"), QStringLiteral("Version 1.2.11"),
         QStringLiteral("Copyright \u00A9 2003")},
        {"other version",
         {QStringLiteral("Tallyvex"), QStringLiteral("Ardmore"), QString(), 10, 0, 305},
         QStringLiteral("Ardmore Tallyvex"),
         QStringLiteral("Version 10.0.305"),
         QStringLiteral("Copyright \u00A9 2003 Ardmore")},
    };
    for (const LoadCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        const AboutForm form(testCase.info, RecordingServices().services());
        EXPECT_EQ(form.objectName(), QStringLiteral("frmAbout"));
        EXPECT_EQ(form.windowTitle(), testCase.caption);
        EXPECT_EQ(textOf(form, "lblVersion"), testCase.version);
        EXPECT_EQ(textOf(form, "lblTitle"), testCase.info.CompanyName);
        EXPECT_EQ(textOf(form, "lblTitleShad"), testCase.info.CompanyName);
        EXPECT_EQ(textOf(form, "lblps"), QStringLiteral("Tallyvex"));
        EXPECT_EQ(textOf(form, "lblPSShad"), QStringLiteral("Tallyvex"));
        EXPECT_EQ(textOf(form, "lblCopyright"), testCase.copyright);
        EXPECT_EQ(textOf(form, "lblCompany"), QStringLiteral("All rights reserved."));
        EXPECT_EQ(form.findChild<QPushButton*>(QStringLiteral("cmdOK"))->text(), QStringLiteral("OK"));
        EXPECT_EQ(form.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"))->text(),
                  QStringLiteral("&System Info..."));
    }
}

TEST(AboutForm, WarningNamesTheCompanyInBothPlaces)
{
    struct Case
    {
        QString company;
        qsizetype companyCount;
        qsizetype xxxCount;
    };
    // The design holds "xxx" twice; a company name that itself holds "xxx" goes in once per place.
    for (const Case& testCase : {Case {QStringLiteral("Fenwick Lark Software"), 2, 0},
                                 Case {QStringLiteral("Maxxxon"), 2, 2}, Case {QStringLiteral("xxx"), 2, 2}}) {
        SCOPED_TRACE(testCase.company.toStdString());
        const AboutForm form(identity(testCase.company), RecordingServices().services());
        const QString warning = textOf(form, "lblWarning");
        EXPECT_EQ(warning.count(testCase.company), testCase.companyCount);
        EXPECT_EQ(warning.count(QStringLiteral("xxx")), testCase.xxxCount);
        EXPECT_TRUE(warning.endsWith(QStringLiteral(".example"))) << warning.toStdString();
    }
}

TEST(AboutForm, LaysOutTheDesign)
{
    const AboutForm form(identity(QStringLiteral("Fenwick Lark Software")), RecordingServices().services());
    const auto geometry
        = [&form](const char* name) { return form.findChild<QWidget*>(QString::fromLatin1(name))->geometry(); };
    // 5820 x 4740 twips outside, less the dialog frame.
    EXPECT_EQ(form.size(), QSize(382, 291));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());

    // The company is left-aligned and the title right-aligned: each shadow sits 30 twips further along.
    EXPECT_EQ(geometry("lblTitleShad").left() - geometry("lblTitle").left(), 2);
    EXPECT_EQ(geometry("lblPSShad").right() - geometry("lblps").right(), 2);
    for (const auto& [shadow, partner] : {std::pair("lblTitleShad", "lblTitle"), std::pair("lblPSShad", "lblps")}) {
        SCOPED_TRACE(shadow);
        EXPECT_EQ(geometry(shadow).top() - geometry(partner).top(), 2);
        const QObjectList& order = form.children();
        EXPECT_LT(order.indexOf(form.findChild<QWidget*>(QString::fromLatin1(shadow))),
                  order.indexOf(form.findChild<QWidget*>(QString::fromLatin1(partner))))
            << "the shadow lies beneath its partner";
    }
    EXPECT_EQ(geometry("lblVersion").right(), geometry("lblCopyright").right());
    EXPECT_EQ(geometry("lblCompany").right(), geometry("lblCopyright").right());
    for (const char* rule : {"Line1_0", "Line1_1", "Line1_3"})
        EXPECT_EQ(geometry(rule).height(), 2) << rule;

    const QFont productFont = form.findChild<QLabel*>(QStringLiteral("lblps"))->font();
    EXPECT_TRUE(productFont.bold() && productFont.italic());
    EXPECT_EQ(productFont.pixelSize(), 27) << "20.25 points at 96 dots per inch";
    EXPECT_TRUE(form.findChild<QLabel*>(QStringLiteral("lblCopyright"))->font().underline());
}

TEST(AboutForm, OkHasTheFocusAndAltSPressesSystemInfo)
{
    RecordingServices desktop;
    AboutForm form(identity(QStringLiteral("Fenwick Lark Software")), desktop.services());
    auto* ok = form.findChild<QPushButton*>(QStringLiteral("cmdOK"));
    auto* sysInfo = form.findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QApplication::focusWidget(), ok);
    EXPECT_EQ(ok->nextInFocusChain(), sysInfo);

    QTest::keyClick(form.windowHandle(), Qt::Key_S, Qt::AltModifier);
    // An access key presses its button with a short visible delay.
    ASSERT_TRUE(QTest::qWaitFor([&desktop] { return !desktop.messages->isEmpty(); }, 1000));
    ASSERT_EQ(desktop.messages->size(), 1) << "no tool in the registry, so the unavailable message";
    EXPECT_EQ(desktop.messages->front().text, QStringLiteral("System Information Is Unavailable At This Time"));
}

TEST(AboutForm, NoCaptionIsClipped)
{
    for (const QString& company :
         {QStringLiteral("Fenwick Lark Software"), QStringLiteral("Fenwick Lark Software International Holdings")}) {
        SCOPED_TRACE(company.toStdString());
        const AboutForm form(identity(company), RecordingServices().services());
        for (const auto* label : form.findChildren<QLabel*>()) {
            SCOPED_TRACE(label->objectName().toStdString());
            const QFontMetrics metrics(label->font());
            if (!label->wordWrap()) {
                EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width());
            }
            EXPECT_LE(label->geometry().right(), form.width() - 1);
            EXPECT_LE(metrics.height(), label->height());
        }
        const auto* title = form.findChild<QLabel*>(QStringLiteral("lblTitle"));
        EXPECT_EQ(title->font(), form.findChild<QLabel*>(QStringLiteral("lblTitleShad"))->font());
    }
}

TEST(AboutForm, EnterPressesTheFocusedButtonAndEscCloses)
{
    RecordingServices desktop;
    QPointer<AboutForm> form = new AboutForm(identity(QStringLiteral("Fenwick Lark Software")), desktop.services());
    form->show();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    auto* sysInfo = form->findChild<QPushButton*>(QStringLiteral("cmdSysInfo"));
    sysInfo->setFocus();
    QTest::keyClick(sysInfo, Qt::Key_Return);
    EXPECT_EQ(desktop.messages->size(), 1) << "System Info... pressed: no tool, so the unavailable message";
    QTest::keyClick(form->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::Key_Enter, Qt::KeypadModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull()) << "OK pressed";

    form = new AboutForm(identity(QStringLiteral("Fenwick Lark Software")), desktop.services());
    form->show();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form->windowHandle(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull()) << "Esc closes the box";
}

TEST(AboutForm, ButtonsAndCopyrightLink)
{
    RecordingServices desktop;
    desktop.registry->addKey(SystemInfoTool::ToolKey);
    desktop.registry->setValue(SystemInfoTool::ToolKey, SystemInfoTool::ToolValue,
                               {1, QByteArrayLiteral("C:\\msinfo32.exe\0")});
    desktop.installedPrograms << QStringLiteral("C:\\msinfo32.exe");
    QPointer<AboutForm> form = new AboutForm(identity(QStringLiteral("Fenwick Lark Software")), desktop.services());
    form->show();

    QTest::mouseClick(form->findChild<QLabel*>(QStringLiteral("lblCopyright")), Qt::LeftButton);
    EXPECT_EQ(*desktop.addresses, QStringList {QStringLiteral("http://www.fenwicklark.example")});

    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);
    EXPECT_EQ(*desktop.startAttempts, QStringList {QStringLiteral("C:\\msinfo32.exe")});
    EXPECT_TRUE(desktop.messages->isEmpty());

    QTest::mouseClick(form->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull()) << "OK unloads the box";
}

TEST(AboutForm, CopyrightLinkWithoutMakerDomainOpensTheSchemeAlone)
{
    RecordingServices desktop;
    AboutForm form(identity(QStringLiteral("Fenwick Lark Software"), QString()), desktop.services());
    form.show();
    QTest::mouseClick(form.findChild<QLabel*>(QStringLiteral("lblCopyright")), Qt::LeftButton);
    EXPECT_EQ(*desktop.addresses, QStringList {QStringLiteral("http://")});
}

TEST(AboutForm, CloseBoxUnloadsTheBox)
{
    QPointer<AboutForm> form
        = new AboutForm(identity(QStringLiteral("Fenwick Lark Software")), RecordingServices().services());
    form->show();
    EXPECT_TRUE(form->close());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
}

} // namespace
