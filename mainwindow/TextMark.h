#pragma once

#include <QtGlobal>

// A marked range of a text box's text, and the index of the style it is shown in.
struct TextMark
{
    qsizetype start = 0;
    qsizetype length = 0;
    int style = 0;

    friend bool operator==(const TextMark&, const TextMark&) = default;
};
