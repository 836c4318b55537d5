#include "scanner/Occurrence.h"

#include "scanner/CapitalsRule.h"
#include "scanner/TriggerPhrase.h"

Occurrence Occurrence::of(const TriggerPhrase& entry, qsizetype index, qsizetype offset, bool inCapitals, bool counts)
{
    Occurrence occurrence;
    occurrence.phraseIndex = index;
    occurrence.phrase = entry.phrase;
    occurrence.position = offset + 1;
    occurrence.pane = ScanText::paneAt(offset);
    occurrence.start = ScanText::offsetInPane(offset);
    occurrence.length = entry.phrase.size();
    occurrence.inCapitals = inCapitals;
    occurrence.counts = counts;
    occurrence.weightAdded = counts ? CapitalsRule::weightAdded(entry.weight, inCapitals) : 0.0;
    return occurrence;
}
