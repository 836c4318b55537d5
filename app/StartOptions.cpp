#include "app/StartOptions.h"

StartOptions StartOptions::fromArguments(const QStringList& arguments)
{
    StartOptions options;
    options.highlight = !arguments.mid(1).contains(QStringLiteral("--no-highlight"));
    return options;
}
