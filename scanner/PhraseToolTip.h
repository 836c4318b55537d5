#pragma once

#include "scanner/PhraseOccurrences.h"

#include <QString>
#include <QStringView>

#include <vector>

class CaptionNumbers;
class PhraseTable;
struct TriggerPhrase;

// What the explanations of trigger phrases say, wherever they are shown: the tooltips of the window's marks
// and phrase list, and the hover of an editor.
namespace PhraseToolTip {

// The phrase as defined, its weight, what capitals do to it, and how often it occurs in the message and is
// counted by a scan.
QString
aboutPhrase(const TriggerPhrase& phrase, qsizetype occurrences, qsizetype counted, const CaptionNumbers& numbers);

// The same for one occurrence, with whether a scan counts it and whether capitals double it.
QString aboutOccurrence(const TriggerPhrase& phrase,
                        qsizetype occurrences,
                        qsizetype counted,
                        bool countedHere,
                        bool inCapitals,
                        const CaptionNumbers& numbers);

// The explanations below take `occurrences`: every occurrence in `scanText` (the subject padded to 120
// characters, then the body), as PhraseOccurrences finds them.

// About `occurrence`, one of them.
QString aboutOccurrenceIn(const PhraseTable& table,
                          QStringView scanText,
                          const std::vector<PhraseOccurrence>& occurrences,
                          const PhraseOccurrence& occurrence,
                          const CaptionNumbers& numbers);

// About every occurrence that covers `position` of the scan text, apart by a blank line; empty where none does.
QString aboutOccurrencesAt(const PhraseTable& table,
                           QStringView scanText,
                           const std::vector<PhraseOccurrence>& occurrences,
                           qsizetype position,
                           const CaptionNumbers& numbers);

// About table entry `phraseIndex` in that text.
QString aboutPhraseIn(const PhraseTable& table,
                      QStringView scanText,
                      const std::vector<PhraseOccurrence>& occurrences,
                      qsizetype phraseIndex,
                      const CaptionNumbers& numbers);

// What stands between the explanations of occurrences that cover one place.
inline constexpr QStringView Separator = u"\n\n";

} // namespace PhraseToolTip
