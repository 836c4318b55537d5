#pragma once

#include "scanner/Occurrence.h"

#include <QString>
#include <QStringView>

#include <vector>

class CaptionNumbers;
class PhraseTable;
struct TriggerPhrase;

// What the explanations of trigger phrases say, wherever they are shown: the tooltips of the window's marks
// and phrase list, and the hover of an editor. The explanations of occurrences take `occurrences`: every
// occurrence in the scan text, as PhraseOccurrences finds them.
namespace PhraseToolTip {

// The phrase as defined, its weight, what capitals do to it, its plainer wordings, and how often it occurs in
// the message and is counted by a scan.
QString
aboutPhrase(const TriggerPhrase& phrase, qsizetype occurrences, qsizetype counted, const CaptionNumbers& numbers);

// The same for `occurrence`, one of them, with whether a scan counts it and whether capitals double it.
QString aboutOccurrence(const PhraseTable& table,
                        const std::vector<Occurrence>& occurrences,
                        const Occurrence& occurrence,
                        const CaptionNumbers& numbers);

// About every occurrence that covers 0-based `offset` of the scan text, apart by a blank line; empty where
// none does.
QString aboutOccurrencesAt(const PhraseTable& table,
                           const std::vector<Occurrence>& occurrences,
                           qsizetype offset,
                           const CaptionNumbers& numbers);

// About table entry `phraseIndex`.
QString aboutPhraseIn(const PhraseTable& table,
                      const std::vector<Occurrence>& occurrences,
                      qsizetype phraseIndex,
                      const CaptionNumbers& numbers);

// What stands between the explanations of occurrences that cover one place.
inline constexpr QStringView Separator = u"\n\n";

} // namespace PhraseToolTip
