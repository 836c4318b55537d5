#pragma once

#include <QString>

class CaptionNumbers;
struct TriggerPhrase;

// What the tooltips of the trigger-phrase marks and of the phrase list say about one phrase.
namespace PhraseToolTip {

// The phrase as defined, its weight, what capitals do to it, and how often it occurs in the message and is
// counted by a scan.
QString
aboutPhrase(const TriggerPhrase& phrase, qsizetype occurrences, qsizetype counted, const CaptionNumbers& numbers);

// The same for the occurrence under the mouse, with whether a scan counts it and whether capitals double it.
QString aboutOccurrence(const TriggerPhrase& phrase,
                        qsizetype occurrences,
                        qsizetype counted,
                        bool countedHere,
                        bool inCapitals,
                        const CaptionNumbers& numbers);

} // namespace PhraseToolTip
