#pragma once

#include <QtGlobal>

#include <array>

class QString;

// Answers the scan's two questions about one text, for the phrases of one table. Positions are 0-based;
// -1 means not found. Both searches compare case-insensitively.
class PhraseSearch
{
public:
    // A scan handles a phrase's first occurrence and at most ten with a space on both sides.
    static constexpr int MostHandled = 11;
    // 1-based starts of a phrase's handled occurrences in the scan text.
    using HandledStarts = std::array<qsizetype, MostHandled>;

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
    // stopping: the first occurrence, then each next one with a space on both sides, found from the one
    // before. Returns how many. By default each is asked of findFirst and findPadded, one by one.
    virtual int handledOccurrences(qsizetype index, HandledStarts& phraseStarts);
    // Step Through stops at every occurrence, press after press, on a text that mostly stays the same:
    // the search may keep what it needs to answer findFirst for the rest of this text quickly.
    virtual void keepEveryOccurrence() { }
    // Whether the phrase list's text contains phrase `index`, in any case. Between two calls the list only
    // grows by appended phrases, or is emptied.
    virtual bool listContains(qsizetype index, const QString& listText) = 0;
};
