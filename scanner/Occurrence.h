#pragma once

#include "scanner/ScanText.h"

#include <QString>

struct TriggerPhrase;

// One occurrence of a trigger phrase in the scan text, with what every face shows of it, each decided once
// and by one rule: where it stands, whether it is written in capitals, whether it counts and what it added
// to the score.
struct Occurrence
{
    // The table entry and its phrase as the definitions hold it.
    qsizetype phraseIndex = 0;
    QString phrase;
    // 1-based position in the scan text.
    qsizetype position = 0;
    // The pane it starts in, and its start and length there: what Step Through selects.
    Pane pane = Pane::Subject;
    qsizetype start = 0;
    qsizetype length = 0;
    bool inCapitals = false;
    // Whether it adds to the score. Every occurrence a scan handles does; of all occurrences in a text, a
    // scan without Step Through counts the first and at most ten more with a space on both sides.
    bool counts = false;
    // The phrase's weight, twice in capitals; 0 when it does not count.
    double weightAdded = 0.0;

    // The 0-based offset in the scan text.
    qsizetype offset() const { return position - 1; }

    // Table entry `index` found at 0-based `offset` of the scan text, in capitals or not (PhraseIndex tells).
    static Occurrence of(const TriggerPhrase& entry, qsizetype index, qsizetype offset, bool inCapitals, bool counts);
};
