#include "scanner/PhraseTable.h"

PhraseTable::PhraseTable()
    : m_entries(1)
{
}

void PhraseTable::storePhrase(const QString& phrase)
{
    Q_ASSERT(canStore());
    if (hasPhrases())
        m_entries.append(TriggerPhrase {});
    m_entries.last().phrase = phrase;
}

void PhraseTable::setLastWeight(double weight)
{
    m_entries.last().weight = weight;
}

void PhraseTable::setAlternatives(qsizetype index, const QStringList& wordings)
{
    m_entries[index].alternatives = wordings;
}
