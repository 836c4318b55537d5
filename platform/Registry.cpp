#include "Registry.h"

#ifdef Q_OS_WIN
#include "WindowsRegistry.h"
#else
#include "SystemToolRegistry.h"
#endif

std::unique_ptr<Registry> Registry::system()
{
#ifdef Q_OS_WIN
    return std::make_unique<WindowsRegistry>();
#else
    return std::make_unique<SystemToolRegistry>();
#endif
}
