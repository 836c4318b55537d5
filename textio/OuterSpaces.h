#pragma once

#include <QStringView>

// The text without the spaces at either end. Only spaces are taken off, never other white space: the
// definitions keep a TAB or a line feed that is part of a phrase, and a search keeps them in its words.
inline QStringView withoutOuterSpaces(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.sliced(first, last - first);
}
