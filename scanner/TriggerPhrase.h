#pragma once

#include <QString>
#include <QStringList>

// One trigger phrase of the definitions file, what one occurrence of it adds to the score, and the plainer
// wordings a writer may put in its place.
struct TriggerPhrase
{
    QString phrase;
    double weight = 0.0;
    // Best first; an empty wording takes the phrase out. None when the alternatives file has none for it.
    QStringList alternatives = {};
};
