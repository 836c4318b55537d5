#pragma once

#include "scanner/OccurrenceRule.h"

#include <QtGlobal>

#include <array>

class PhraseList;
class QString;

// Answers the scan's two questions about one text, for the phrases of one table. Positions are 0-based;
// -1 means not found. Both searches compare case-insensitively.
class PhraseSearch
{
public:
    // 1-based starts of a phrase's handled occurrences in the scan text.
    using HandledStarts = std::array<qsizetype, OccurrenceRule::MostHandled>;

    virtual ~PhraseSearch() = default;

    // The text that the following searches look in; it stays valid until the next call.
    virtual void setText(const QString& scanText) = 0;
    // The first phrase at or after `index` that may occur in the text (the table size when none may): a
    // scan passes by the phrases before it, which do not occur at all.
    virtual qsizetype nextCandidate(qsizetype index) = 0;
    // First occurrence of phrase `index` at or after `from`, also inside words.
    virtual qsizetype findFirst(qsizetype index, qsizetype from) = 0;
    // First occurrence at or after `from` of a space, phrase `index` and a space; the position is the
    // leading space's.
    virtual qsizetype findPadded(qsizetype index, qsizetype from) = 0;
    // The occurrences of phrase `index` that a scan handles when it goes through the phrase without
    // stopping, by the OccurrenceRule. Returns how many. By default each is asked of findFirst and findPadded, one by
    // one.
    virtual int handledOccurrences(qsizetype index, HandledStarts& phraseStarts);
    // Step Through stops at every occurrence, press after press, on a text that mostly stays the same:
    // the search may keep what it needs to answer findFirst for the rest of this text quickly.
    virtual void keepEveryOccurrence() { }
    // Whether the phrase list contains phrase `index`, in any case.
    virtual bool listContains(qsizetype index, const PhraseList& list) = 0;
};
