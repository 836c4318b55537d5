#include "scanner/PhraseSearch.h"

int PhraseSearch::handledOccurrences(qsizetype index, HandledStarts& phraseStarts)
{
    OccurrenceRule rule;
    // 1-based, as the scan counts; 0 when there is none.
    qsizetype matchPos = findFirst(index, 0) + 1;
    while (matchPos > 0) {
        phraseStarts[size_t(rule.handled())] = rule.phraseStart(matchPos);
        if (!rule.handle())
            break;
        matchPos = findPadded(index, matchPos) + 1;
    }
    return rule.handled();
}
