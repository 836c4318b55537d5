#include "app/AppStartup.h"

#include "platform/AppIdentity.h"
#include "platform/AppInfo.h"
#include "platform/WebLinks.h"
#include "startup/AboutForm.h"
#include "startup/SplashForm.h"

namespace {

QString host(const char* name)
{
    return QString::fromUtf8(name);
}

} // namespace

AppStartup::AppStartup(PlatformServices services, QString definitionsPath, QLocale locale, StartOptions options)
    : m_services(std::move(services))
    , m_definitionsPath(std::move(definitionsPath))
    , m_locale(std::move(locale))
    , m_options(options)
{
}

AppStartup::~AppStartup()
{
    closeAbout();
}

void AppStartup::start()
{
    m_splash = new SplashForm(AppInfo::current(), [this] { openMainWindow(); });
    m_splash->show();
}

SplashForm* AppStartup::splash() const
{
    return m_splash;
}

AboutForm* AppStartup::aboutBox() const
{
    return m_aboutBox;
}

void AppStartup::openMainWindow()
{
    m_mainForm = std::make_unique<MainForm>(m_definitionsPath, m_locale);
    m_mainForm->setHighlighting(m_options.highlight);
    connect(m_mainForm.get(), &MainForm::openRequested, this, &AppStartup::openMessageFile);
    connect(m_mainForm.get(), &MainForm::aboutRequested, this, &AppStartup::showAbout);
    connect(m_mainForm.get(), &MainForm::linkActivated, this, &AppStartup::openLink);
    connect(m_mainForm.get(), &MainForm::searchRequested, this, [this](const QString& words) {
        m_services.openInBrowser(WebLinks::searchAddress(host(AppIdentity::SearchHost), words), m_mainForm.get());
    });
    connect(m_mainForm.get(), &MainForm::closed, this, &AppStartup::closeAbout);
    m_mainForm->show();
}

void AppStartup::showAbout()
{
    if (!m_aboutBox)
        m_aboutBox = new AboutForm(AppInfo::current(), m_services);
    m_aboutBox->show();
    m_aboutBox->raise();
    m_aboutBox->activateWindow();
}

void AppStartup::openLink(MainForm::Link link) const
{
    QString siteHost;
    switch (link) {
    case MainForm::Link::SearchSite:
        siteHost = host(AppIdentity::SearchHost);
        break;
    case MainForm::Link::Provider:
        siteHost = host(AppIdentity::ProviderHost);
        break;
    case MainForm::Link::Maker:
        // The maker's domain is read anew on every click.
        siteHost = AppInfo::current().Comments;
        break;
    }
    m_services.openInBrowser(WebLinks::siteAddress(siteHost), m_mainForm.get());
}

void AppStartup::openMessageFile()
{
    if (!m_services.chooseMessageFile)
        return;
    const QString path = m_services.chooseMessageFile(m_mainForm.get());
    if (!path.isEmpty())
        m_mainForm->openMessageFile(path);
}

void AppStartup::closeAbout()
{
    if (m_aboutBox)
        m_aboutBox->close();
}
