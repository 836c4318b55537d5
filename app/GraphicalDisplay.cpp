#include "app/GraphicalDisplay.h"

#include <QProcessEnvironment>

bool hasGraphicalDisplay([[maybe_unused]] const QProcessEnvironment& environment)
{
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    return true;
#else
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        if (!environment.value(QString::fromLatin1(variable)).isEmpty())
            return true;
    }
    return false;
#endif
}
