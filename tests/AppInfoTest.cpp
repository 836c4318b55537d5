#include "platform/AppInfo.h"

#include <QCoreApplication>

#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace {

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
