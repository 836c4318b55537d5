#include "platform/Registry.h"

#ifdef Q_OS_WIN
#include "platform/WindowsRegistry.h"
#else
#include "platform/SystemToolRegistry.h"
#endif

std::unique_ptr<Registry> Registry::system()
{
#ifdef Q_OS_WIN
    return std::make_unique<WindowsRegistry>();
#else
    return std::make_unique<SystemToolRegistry>();
#endif
}
