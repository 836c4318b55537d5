#pragma once

#include "scanner/TriggerPhrase.h"

#include <QList>

// The trigger phrases in file order. The table always holds at least one entry: a fresh table holds a
// single empty entry, which the first accepted definition line fills; every further line appends one.
class PhraseTable
{
public:
    // Step Through saves the index of its phrase in a 16-bit signed field, which bounds the table.
    static constexpr qsizetype MaxEntries = 32768;

    PhraseTable();

    qsizetype size() const { return m_entries.size(); }
    const TriggerPhrase& at(qsizetype index) const { return m_entries.at(index); }
    QList<TriggerPhrase>::const_iterator begin() const { return m_entries.cbegin(); }
    QList<TriggerPhrase>::const_iterator end() const { return m_entries.cend(); }

    // True once a definition line has been accepted, i.e. the table holds no empty entry.
    bool hasPhrases() const { return !m_entries.constLast().phrase.isEmpty(); }
    // False when storing one more phrase would need an entry beyond MaxEntries.
    bool canStore() const { return !hasPhrases() || m_entries.size() < MaxEntries; }

    // Stores a phrase of an accepted line: grows the table by one entry unless the last entry is still empty.
    void storePhrase(const QString& phrase);
    void setLastWeight(double weight);
    void setAlternatives(qsizetype index, const QStringList& wordings);

private:
    QList<TriggerPhrase> m_entries;
};
