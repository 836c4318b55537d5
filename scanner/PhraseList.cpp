#include "scanner/PhraseList.h"

#include "scanner/PhraseSearch.h"

bool PhraseList::contains(PhraseSearch& search, qsizetype index) const
{
    return search.listContains(index, *this);
}

void PhraseList::append(qsizetype index, const QString& phrase)
{
    m_text += phrase;
    m_text += QStringLiteral("\r\n");
    m_phrases.append(phrase);
    m_entries.push_back(index);
}

void PhraseList::clear()
{
    m_text.resize(0);
    m_phrases.clear();
    m_entries.clear();
    ++m_clears;
}
