#include "platform/AppInfo.h"

#include "platform/AppIdentity.h"

#include <QCoreApplication>

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(AppInfo, ReadsBackTheBuildIdentity)
{
    AppInfo::registerBuildIdentity();
    const AppInfo info = AppInfo::current();
    EXPECT_EQ(info.Title, QStringLiteral("Tallyvex"));
    EXPECT_EQ(info.CompanyName, QString::fromUtf8(AppIdentity::CompanyName));
    EXPECT_EQ(info.Comments, QString::fromUtf8(AppIdentity::Comments));
    EXPECT_FALSE(info.CompanyName.isEmpty());
    EXPECT_EQ(info.Major, 1);
    EXPECT_EQ(info.Minor, 2);
    EXPECT_EQ(info.Revision, 11);
}

TEST(AppInfo, TakesTheVersionPartsFromTheApplication)
{
    const QString saved = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QStringLiteral("3.04.7.250"));
    const AppInfo full = AppInfo::current();
    QCoreApplication::setApplicationVersion(QStringLiteral("5"));
    const AppInfo shortVersion = AppInfo::current();
    QCoreApplication::setApplicationVersion(saved);

    EXPECT_EQ(std::tuple(full.Major, full.Minor, full.Revision), std::tuple(3, 4, 250));
    EXPECT_EQ(std::tuple(shortVersion.Major, shortVersion.Minor, shortVersion.Revision), std::tuple(5, 0, 0));
}

} // namespace
