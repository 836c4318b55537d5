#include "mainwindow/MainFormLinks.h"

#include "platform/AppIdentity.h"
#include "platform/AppInfo.h"
#include "platform/WebLinks.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

namespace {

// Each link label, what it does, and the key that does the same from the keyboard.
const struct
{
    const char* name;
    const char* purpose;
    QKeySequence key;
} Links[] = {
    {"lblNorvane", "Open the search site's home page", QKeySequence(Qt::CTRL | Qt::Key_N)},
    {"lbProvidedby", "Open the provider's web site", QKeySequence(Qt::CTRL | Qt::Key_H)},
    {"lblTitle", "Open the maker's web site", QKeySequence(Qt::CTRL | Qt::Key_M)},
    {"lblAbout", "About", QKeySequence(Qt::Key_F1)},
    {"lblExit", "Close", QKeySequence(Qt::CTRL | Qt::Key_Q)},
};

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
    for (const auto& link : Links) {
        auto* label = mainForm->findChild<QLabel*>(QString::fromLatin1(link.name));
        label->installEventFilter(this);
        label->setToolTip(QStringLiteral("%1 (%2)").arg(QString::fromLatin1(link.purpose),
                                                        link.key.toString(QKeySequence::NativeText)));
        connect(new QShortcut(link.key, mainForm), &QShortcut::activated, this, [this, label] { linkClicked(label); });
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

    const bool press = event->type() == QEvent::MouseButtonPress;
    const bool release = event->type() == QEvent::MouseButtonRelease;
    if (auto* label = qobject_cast<QLabel*>(watched); label && m_links.contains(label) && (press || release)) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        // A press on a link is the link's, not the start of a drag of the skin beneath it.
        if (release && label->rect().contains(mouse->position().toPoint()))
            linkClicked(label);
        return true;
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
