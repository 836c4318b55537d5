#include "support/ReferenceSearch.h"

#include "scanner/PhraseList.h"
#include "scanner/PhraseTable.h"

ReferenceSearch::ReferenceSearch(const PhraseTable& table)
{
    for (const TriggerPhrase& entry : table) {
        m_phrases.append(entry.phrase);
        m_paddedPhrases.append(u' ' + entry.phrase + u' ');
    }
}

void ReferenceSearch::setText(const QString& scanText)
{
    m_text = &scanText;
}

qsizetype ReferenceSearch::findFirst(qsizetype index, qsizetype from)
{
    return m_text->indexOf(m_phrases.at(index), from, Qt::CaseInsensitive);
}

qsizetype ReferenceSearch::findPadded(qsizetype index, qsizetype from)
{
    return m_text->indexOf(m_paddedPhrases.at(index), from, Qt::CaseInsensitive);
}

bool ReferenceSearch::listContains(qsizetype index, const PhraseList& list)
{
    return list.text().contains(m_phrases.at(index), Qt::CaseInsensitive);
}
