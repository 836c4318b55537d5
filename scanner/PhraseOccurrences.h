#pragma once

#include "scanner/Occurrence.h"
#include "scanner/PhraseIndex.h"

#include <QStringView>

#include <memory>
#include <vector>

// Every occurrence of every trigger phrase of a table in a text, found as the scan finds them: the phrases'
// automaton over the folded text, and QString's case-insensitive search for the few phrases the automaton
// leaves to it. Unlike a scan, it lists all of them: overlapping ones, ones inside words and ones beyond
// those a scan counts, each saying whether a scan without Step Through counts it.
class PhraseOccurrences
{
public:
    explicit PhraseOccurrences(std::shared_ptr<const PhraseIndex> index);

    // Every occurrence in `scanText`, ordered by position, then by phrase index.
    std::vector<Occurrence> findAll(QStringView scanText) const;

private:
    std::shared_ptr<const PhraseIndex> m_index;
};
