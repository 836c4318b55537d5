#pragma once

#include "textio/TextDecoding.h"

#include <QString>
#include <QTextStream>

// Says `message` on standard error, line by line, with control characters made visible.
inline void tellOnStandardError(QTextStream& err, const QString& message)
{
    for (const QString& line : message.split(u'\n'))
        err << TextDecoding::withVisibleControls(line) << '\n';
}
