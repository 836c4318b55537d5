#pragma once

#include <QStringList>

// What the command line asks of the window program. The program keeps no settings: each start begins from
// these.
struct StartOptions
{
    // --no-highlight starts with the trigger-phrase marks switched off.
    bool highlight = true;

    // The program's arguments, its own name first; arguments it does not know are left alone.
    static StartOptions fromArguments(const QStringList& arguments);
};
