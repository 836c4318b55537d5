#include "platform/AppInfo.h"

#include "platform/AppIdentity.h"

#include <QCoreApplication>
#include <QStringList>

void AppInfo::registerBuildIdentity()
{
    QCoreApplication::setApplicationName(QString::fromUtf8(AppIdentity::Title));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(AppIdentity::Version));
    QCoreApplication::setOrganizationName(QString::fromUtf8(AppIdentity::CompanyName));
    QCoreApplication::setOrganizationDomain(QString::fromUtf8(AppIdentity::Comments));
}

AppInfo AppInfo::current()
{
    // The version reads major.minor.build.revision; a missing part counts as 0.
    const QStringList parts = QCoreApplication::applicationVersion().split(QLatin1Char('.'));
    const auto part = [&parts](qsizetype index) { return index < parts.size() ? parts[index].toInt() : 0; };

    AppInfo info;
    info.Title = QCoreApplication::applicationName();
    info.CompanyName = QCoreApplication::organizationName();
    info.Comments = QCoreApplication::organizationDomain();
    info.Major = part(0);
    info.Minor = part(1);
    info.Revision = part(3);
    return info;
}
