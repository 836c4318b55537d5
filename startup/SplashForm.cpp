#include "startup/SplashForm.h"

#include "forms/FormStyle.h"
#include "forms/LegacyFonts.h"
#include "forms/Twips.h"
#include "platform/AppInfo.h"
#include "startup/NoticeTexts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QTimer>
#include <qdrawutil.h>

#include <cstdlib>
#include <exception>

using namespace FormStyle;
using Twips::toPixels;

namespace {

// A fixed dialog border without a caption drawn around the 5970 x 4290 twips client area.
constexpr int BorderWidth = 2;

} // namespace

SplashForm::SplashForm(const AppInfo& info, std::function<void()> showMainWindow, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_showMainWindow(std::move(showMainWindow))
{
    setObjectName(QStringLiteral("frmSplash"));
    setFont(dialogFont());
    setFixedSize(toPixels(5970) + 2 * BorderWidth, toPixels(4290) + 2 * BorderWidth);
    setCursor(Qt::WaitCursor);

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("fraMainFrame"));
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
    frame->setGeometry(Twips::rect(80, 0, 5820, 4215).translated(BorderWidth, BorderWidth));

    const QFont companyFont = legacyFont(QStringLiteral("Verdana"), 18, true);
    const QFont productFont = legacyFont(QStringLiteral("Verdana"), 20.25, true, false, true);
    // Each shadow is created before its partner, so it lies beneath it.
    auto* companyShadow = addLabel(frame, "lblTitleShad", Twips::rect(65, 135, 5745, 585), companyFont);
    setForeground(companyShadow, ShadowGrey);
    auto* company = addLabel(frame, "lblTitle", Twips::rect(45, 120, 5775, 495), companyFont);
    auto* productShadow = addLabel(frame, "lblPSShad", Twips::rect(600, 585, 5055, 495), productFont, Qt::AlignRight);
    setForeground(productShadow, ShadowGrey);
    auto* product = addLabel(frame, "lblps", Twips::rect(1170, 570, 4455, 495), productFont, Qt::AlignRight);

    addRule(frame, "Line1_1", 120, 5640, 1080);
    auto* version = addLabel(frame, "lblVersion", Twips::rect(1020, 1920, 2970, 300),
                             legacyFont(QStringLiteral("MS Sans Serif"), 12, true), Qt::AlignRight);
    addRule(frame, "Line1_0", 120, 5640, 2280);

    auto* warning = addLabel(frame, "lblWarning", Twips::rect(120, 2880, 5535, 1035), dialogFont());
    warning->setWordWrap(true);
    warning->setText(NoticeTexts::warning(info.CompanyName));
    auto* copyright = addLabel(frame, "lblCopyright", Twips::rect(120, 3720, 5535, 375), dialogFont());

    version->setText(QStringLiteral("Version %1.%2").arg(info.Major).arg(info.Minor));
    // The version label sizes itself to its text from its left edge.
    version->adjustSize();
    company->setText(info.CompanyName);
    companyShadow->setText(info.CompanyName);
    product->setText(info.Title);
    productShadow->setText(info.Title);
    copyright->setText(NoticeTexts::fullNotice(info.CompanyName));

    centreOnScreen(this);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(DisplayMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &SplashForm::tick);
    m_timer->start();
}

void SplashForm::closeEvent(QCloseEvent* event)
{
    // Closed before its tick, the splash screen would never show the main window.
    event->ignore();
}

void SplashForm::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    qDrawWinPanel(&painter, rect(), palette(), false);
}

void SplashForm::tick()
{
    // A main window that fails to appear must not keep the splash screen up, nor end the program unseen.
    try {
        m_showMainWindow();
    } catch (const std::exception& error) {
        reportStartFailure(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reportStartFailure(QStringLiteral("an unknown fault"));
    }
    unsetCursor();
    deleteLater();
}

void SplashForm::reportStartFailure(const QString& reason)
{
    const QString text = QStringLiteral("The main window cannot be opened: %1.").arg(reason);
    qCritical("%s", qUtf8Printable(text));
    // Left open when the splash screen goes; closing it ends the program, which has no window to show.
    auto* box = new QMessageBox(QMessageBox::Critical, QGuiApplication::applicationDisplayName(), text);
    box->setObjectName(QStringLiteral("startFailure"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, QCoreApplication::instance(), [] { QCoreApplication::exit(EXIT_FAILURE); });
    box->show();
}
