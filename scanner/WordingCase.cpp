#include "scanner/WordingCase.h"

#include "scanner/Occurrence.h"
#include "scanner/PhraseTable.h"

namespace WordingCase {

QStringList
forOccurrence(const PhraseTable& table, const Occurrence& occurrence, const QString& subject, const QString& body)
{
    QStringList wordings = table.at(occurrence.phraseIndex).alternatives;
    const QString& pane = occurrence.pane == Pane::Subject ? subject : body;
    if (occurrence.start >= pane.size() || !pane.at(occurrence.start).isUpper())
        return wordings;
    for (QString& wording : wordings) {
        if (!wording.isEmpty() && wording.front().isLower())
            wording.front() = wording.front().toUpper();
    }
    return wordings;
}

} // namespace WordingCase
