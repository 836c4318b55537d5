#pragma once

#include <QStringView>
#include <QtGlobal>

// Which occurrences of one phrase a scan handles: its first occurrence, also inside a word, then each
// next occurrence with a space on both sides, found from the one before; eleven at most.
class OccurrenceRule
{
public:
    static constexpr int MostHandled = 11;

    // Whether the unit at `index` of `text` is a space; false outside the text.
    static bool isSpaceAt(QStringView text, qsizetype index)
    {
        return index >= 0 && index < text.size() && text[index] == u' ';
    }
    // Whether the `length` units from 0-based `start` have a space on both sides. The fast walk asks the two
    // halves apart: the space after an end first, since few ends have one.
    static bool hasSpaceOnBothSides(QStringView text, qsizetype start, qsizetype length)
    {
        return isSpaceAt(text, start - 1) && isSpaceAt(text, start + length);
    }

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

    // For all of a phrase's occurrences offered in the order of their 0-based starts in `text`: whether a
    // scan's searches find and handle this one. The first is found by the first search; each next search
    // for a space, the phrase and a space begins just after the last match found.
    bool counts(QStringView text, qsizetype start, qsizetype length)
    {
        if (isComplete() || (wantsPadded() && (start - 1 < m_searchFrom || !hasSpaceOnBothSides(text, start, length))))
            return false;
        // The next search starts one unit after the match's first unit: the phrase's own for the first
        // occurrence, the space before it for the others.
        m_searchFrom = wantsPadded() ? start : start + 1;
        handle();
        return true;
    }

private:
    int m_handled = 0;
    // Where the next search for a space, the phrase and a space starts (0-based).
    qsizetype m_searchFrom = 0;
};
