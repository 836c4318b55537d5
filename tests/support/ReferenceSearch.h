#pragma once

#include "scanner/PhraseSearch.h"

#include <QStringList>

class PhraseTable;

// The plain sequential search: the whole text is searched once per question.
class ReferenceSearch final : public PhraseSearch
{
public:
    explicit ReferenceSearch(const PhraseTable& table);

    void setText(const QString& scanText) override;
    // Every phrase is searched for.
    qsizetype nextCandidate(qsizetype index) override { return index; }
    qsizetype findFirst(qsizetype index, qsizetype from) override;
    qsizetype findPadded(qsizetype index, qsizetype from) override;
    bool listContains(qsizetype index, const PhraseList& list) override;

private:
    QStringList m_phrases;
    QStringList m_paddedPhrases;
    const QString* m_text = nullptr;
};
