#include "MainFormLinks.h"

#include "AppIdentity.h"
#include "AppInfo.h"
#include "WebLinks.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const char* const LinkNames[] = {"lblNorvane", "lbProvidedby", "lblTitle", "lblAbout", "lblExit"};

QString host(const char* name)
{
    return QString::fromUtf8(name);
}

} // namespace

MainFormLinks::MainFormLinks(QWidget* mainForm, PlatformServices services, AboutBoxFactory makeAboutBox)
    : QObject(mainForm)
    , m_mainForm(mainForm)
    , m_services(std::move(services))
    , m_makeAboutBox(std::move(makeAboutBox))
{
    m_searchBox = mainForm->findChild<QLineEdit*>(QStringLiteral("tbSearchNorvane"));
    m_searchBox->installEventFilter(this);
    connect(mainForm->findChild<QPushButton*>(QStringLiteral("cmdGo")), &QPushButton::clicked, this,
            &MainFormLinks::search);
    for (const char* name : LinkNames) {
        auto* label = mainForm->findChild<QLabel*>(QString::fromLatin1(name));
        label->installEventFilter(this);
        m_links << label;
    }
    mainForm->installEventFilter(this);
}

MainFormLinks::~MainFormLinks()
{
    if (m_aboutBox)
        m_aboutBox->close();
}

bool MainFormLinks::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_mainForm && event->type() == QEvent::Close && m_aboutBox)
        m_aboutBox->close();

    if (watched == m_searchBox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        // Enter searches as "Go!" does, and the box still gets the key.
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            search();
    }

    if (auto* label = qobject_cast<QLabel*>(watched); label && m_links.contains(label)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        // A press on a link is the link's, not the start of a drag of the skin beneath it.
        if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton)
            return true;
        if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton
            && label->rect().contains(mouse->position().toPoint())) {
            linkClicked(label);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void MainFormLinks::search() const
{
    m_services.openAddress(WebLinks::searchAddress(host(AppIdentity::SearchHost), m_searchBox->text()));
}

void MainFormLinks::linkClicked(QObject* label)
{
    const QString name = label->objectName();
    if (name == QLatin1String("lblNorvane"))
        m_services.openAddress(WebLinks::siteAddress(host(AppIdentity::SearchHost)));
    else if (name == QLatin1String("lbProvidedby"))
        m_services.openAddress(WebLinks::siteAddress(host(AppIdentity::ProviderHost)));
    else if (name == QLatin1String("lblTitle"))
        // The maker's domain is read anew on every click.
        m_services.openAddress(WebLinks::siteAddress(AppInfo::current().Comments));
    else if (name == QLatin1String("lblAbout"))
        showAbout();
    else if (name == QLatin1String("lblExit"))
        m_mainForm->close();
}

void MainFormLinks::showAbout()
{
    if (!m_aboutBox)
        m_aboutBox = m_makeAboutBox();
    m_aboutBox->show();
    m_aboutBox->raise();
    m_aboutBox->activateWindow();
}
