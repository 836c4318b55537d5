#pragma once

#include <QtGlobal>

// Which occurrences of one phrase a scan handles: its first occurrence, also inside a word, then each
// next occurrence with a space on both sides, found from the one before; eleven at most.
class OccurrenceRule
{
public:
    static constexpr int MostHandled = 11;

    // How many occurrences were handled so far.
    int handled() const { return m_handled; }
    // Whether the next match is one with a space on both sides.
    bool wantsPadded() const { return m_handled > 0; }
    // The 1-based start of the phrase in the next match, found at 1-based `matchPos`: a padded match
    // begins with the space before the phrase.
    qsizetype phraseStart(qsizetype matchPos) const { return wantsPadded() ? matchPos + 1 : matchPos; }
    // Counts the next match as handled; false when no more may follow.
    bool handle() { return ++m_handled < MostHandled; }
    bool isComplete() const { return m_handled == MostHandled; }

private:
    int m_handled = 0;
};
