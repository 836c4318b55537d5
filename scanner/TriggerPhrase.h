#pragma once

#include <QString>

// One trigger phrase of the definitions file and what one occurrence of it adds to the score.
struct TriggerPhrase
{
    QString phrase;
    double weight = 0.0;
};
