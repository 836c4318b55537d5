#pragma once

#include <QString>

// The program's identity as the running application reports it. The build writes it into the
// application object at start (registerBuildIdentity); every reader takes it back from there, so
// the About box, the splash screen and the links all show the one identity set in CMake.
struct AppInfo
{
    QString Title;
    QString CompanyName;
    // The maker's web domain, without a scheme.
    QString Comments;
    int Major = 0;
    int Minor = 0;
    int Revision = 0;

    static void registerBuildIdentity();
    static AppInfo current();
};
