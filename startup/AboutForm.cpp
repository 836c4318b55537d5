#include "startup/AboutForm.h"

#include "forms/FormStyle.h"
#include "forms/LegacyFonts.h"
#include "forms/LinkLabel.h"
#include "forms/Twips.h"
#include "platform/AppInfo.h"
#include "platform/WebLinks.h"
#include "startup/NoticeTexts.h"

#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include <utility>

using namespace FormStyle;
using Twips::toPixels;

namespace {

// The box's outer size is 5820 x 4740 twips; Qt sizes the client area, which is that less a fixed
// dialog frame (3 pixels each side and a 19-pixel caption).
const QSize ClientSize {toPixels(5820) - 6, toPixels(4740) - 25};

} // namespace

AboutForm::AboutForm(const AppInfo& info, PlatformServices services, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , m_services(services)
    , m_sysInfo(std::move(services), info.Title)
    , m_makerHost(info.Comments)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(dialogFont());

    const QFont titleFont = legacyFont(QStringLiteral("Verdana"), 20.25, true);
    const QFont productFont = legacyFont(QStringLiteral("Verdana"), 20.25, true, false, true);
    // Each shadow is created before its partner, so it lies beneath it.
    // The company's name may run on to the right end of the rule below it.
    m_titleShadow = addLabel(this, "lblTitleShad", Twips::rect(150, 30, 5417, 585), titleFont);
    setForeground(m_titleShadow, ShadowGrey);
    m_title = addLabel(this, "lblTitle", Twips::rect(120, 0, 5417, 495), titleFont);
    m_productShadow = addLabel(this, "lblPSShad", Twips::rect(510, 490, 5055, 495), productFont, Qt::AlignRight);
    setForeground(m_productShadow, ShadowGrey);
    m_product = addLabel(this, "lblps", Twips::rect(1080, 465, 4455, 495), productFont, Qt::AlignRight);

    addRule(this, "Line1_1", 120, 5537, 1080);
    m_version = addLabel(this, "lblVersion", Twips::rect(2280, 1680, 1935, 225), dialogFont(), Qt::AlignRight);
    m_copyright = placeLabel(new LinkLabel(this), "lblCopyright", Twips::rect(240, 1920, 3975, 255), Qt::AlignRight);
    m_copyright->setFont(legacyFont(QStringLiteral("MS Sans Serif"), 8.25, false, true));
    setForeground(m_copyright, Qt::blue);
    connect(m_copyright, &LinkLabel::clicked, this, &AboutForm::openMakerPage);
    m_company = addLabel(this, "lblCompany", Twips::rect(1320, 2160, 2895, 255), dialogFont(), Qt::AlignRight);
    addRule(this, "Line1_3", 120, 5537, 2400);
    addRule(this, "Line1_0", 120, 5537, 3000);

    m_warning = addLabel(this, "lblWarning", Twips::rect(120, 3120, 4230, 1185), dialogFont());
    m_warning->setWordWrap(true);
    setForeground(m_warning, Qt::black);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setGeometry(Twips::rect(4440, 3900, 1215, 345));
    auto* sysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    sysInfo->setGeometry(Twips::rect(4440, 3300, 1215, 345));
    setTabOrder(ok, sysInfo);
    ok->setFocus();
    // Enter presses the focused button and Esc closes the box, as in any dialog.
    for (QPushButton* button : {ok, sysInfo})
        button->setAutoDefault(true);
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);

    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    connect(sysInfo, &QPushButton::clicked, this, [this] { m_sysInfo.startSysInfo(this); });

    load(info);

    // Shown without an owner, the box opens in the middle of the screen.
    if (const QWidget* owner = parentWidget())
        centreIn(this, owner->frameGeometry());
    else
        centreOnScreen(this);
}

void AboutForm::load(const AppInfo& info)
{
    m_warning->setText(NoticeTexts::warning(info.CompanyName));
    m_version->setText(QStringLiteral("Version %1.%2.%3").arg(info.Major).arg(info.Minor).arg(info.Revision));
    for (QLabel* label : {m_title, m_titleShadow})
        label->setText(info.CompanyName);
    for (QLabel* label : {m_product, m_productShadow})
        label->setText(info.Title);
    // A long name is drawn smaller rather than cut off; each shadow keeps its partner's size.
    shrinkToFit({m_titleShadow, m_title});
    shrinkToFit({m_productShadow, m_product});
    setWindowTitle(info.CompanyName + QLatin1Char(' ') + info.Title);
    setFixedSize(ClientSize);
    m_copyright->setText(NoticeTexts::copyright(info.CompanyName));
    shrinkToFit({m_copyright});
    m_company->setText(NoticeTexts::rightsReserved());
}

void AboutForm::openMakerPage()
{
    m_services.openInBrowser(WebLinks::siteAddress(m_makerHost), this);
}
