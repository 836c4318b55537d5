#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class PhraseSearch;

// The phrase list caption: the phrases found, each followed by CR LF, in the order first found. It
// keeps the table entries it was given beside its text, so that a search can tell what was appended
// since it last looked without reading the text again.
class PhraseList
{
public:
    const QString& text() const { return m_text; }
    // The phrases, in the order first found.
    const QStringList& phrases() const { return m_phrases; }
    // The table entries appended since the list was last emptied, in order.
    const std::vector<qsizetype>& entries() const { return m_entries; }
    // Counts the times the list was emptied, so that a search notices it even when the list grew again.
    std::uint64_t clears() const { return m_clears; }

    // Whether the list contains table entry `index` in any case, as `search` tells it.
    bool contains(PhraseSearch& search, qsizetype index) const;
    // Appends table entry `index`, whose phrase is `phrase`, and a line end.
    void append(qsizetype index, const QString& phrase);
    // Empties the list, keeping its memory for the next scan.
    void clear();

private:
    QString m_text;
    QStringList m_phrases;
    std::vector<qsizetype> m_entries;
    std::uint64_t m_clears = 0;
};
