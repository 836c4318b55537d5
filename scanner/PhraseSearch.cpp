#include "PhraseSearch.h"

int PhraseSearch::handledOccurrences(qsizetype index, HandledStarts& phraseStarts)
{
    // 1-based, as the scan counts; 0 when there is none.
    qsizetype matchPos = findFirst(index, 0) + 1;
    int count = 0;
    while (matchPos > 0) {
        // A padded match begins with the space before the phrase.
        phraseStarts[size_t(count)] = count == 0 ? matchPos : matchPos + 1;
        if (++count == MostHandled)
            break;
        matchPos = findPadded(index, matchPos) + 1;
    }
    return count;
}
