#include "messagefile/MessageText.h"

QString withLineFeeds(QString text)
{
    // Most texts have LF line ends already; they are passed on without a copy.
    if (!text.contains(u'\r'))
        return text;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}
