#pragma once

#include "scanner/CaptionNumbers.h"
#include "scanner/PhraseIndex.h"
#include "scanner/PhraseTable.h"
#include "scanner/ScanOutcome.h"
#include "scanner/ScoreAccumulator.h"

#include <QString>

#include <functional>
#include <memory>

class PhraseSearch;

// What one press of the scan button did.
struct PressOutcome
{
    enum class Kind
    {
        // Subject and body hold nothing but spaces: nothing changed, the caller shows the prompt.
        EmptyInput,
        // The scan ran to its end; the verdict is set.
        Finished,
        // Step Through stopped at an occurrence: the outcome's last occurrence, to be selected in its pane.
        Stopped
    };
    Kind kind = Kind::EmptyInput;
    // How many occurrences this press handled.
    qsizetype handled = 0;
};

// The scan of a subject and body against the trigger phrases, one press of the scan button at a time.
// Between presses it keeps the Step Through state, the phrase and the position of the last stop, and the
// outcome that every face shows.
class ScanSession
{
public:
    using SearchFactory = std::function<std::unique_ptr<PhraseSearch>(const std::shared_ptr<const PhraseIndex>&)>;

    explicit ScanSession(const QLocale& locale = QLocale::system(), SearchFactory makeSearch = {});
    ~ScanSession();

    const ScanOutcome& outcome() const { return m_outcome; }
    const PhraseTable& table() const { return m_index->table(); }

    // Keeps every occurrence handled in the outcome; a window needs only the last one, and describing each
    // occurrence of a long table costs more than finding it.
    void keepOccurrences(bool keep) { m_keepOccurrences = keep; }
    // Lists the phrases found in the outcome, as every face that shows them needs; a caller that shows the
    // verdict alone may leave the list empty, since looking whether a phrase is listed already costs about
    // a tenth of the scan of a long table.
    void listPhrases(bool list) { m_listPhrases = list; }

    // Score, percentage and phrase list back to their idle state; the gauge, the verdict, the phase and a
    // paused walk stay.
    void resetResults();
    // What the Clear commands do: no verdict or occurrence shown, the results reset and the gauge sized from
    // them; the phase and a paused walk stay.
    void clearResults();

    // Back to a table of one empty entry, and no scan paused.
    void resetDefinitions();
    // The phrases of a definitions load, indexed once and shared with whatever else searches for them.
    void setDefinitions(std::shared_ptr<const PhraseIndex> index);
    void setDefinitions(PhraseTable table);

    // One press: a new scan, or the paused one resumed, on the texts as they stand now.
    PressOutcome press(const QString& subject, const QString& body, bool stepThrough);

    bool isPaused() const { return m_matchPos != 0; }
    qint16 stepIndex() const { return m_stepIndex; }
    // 1-based position of the current match in the scan text; 0 when no match is current.
    qsizetype matchPos() const { return m_matchPos; }

private:
    struct HandledOccurrence
    {
        qsizetype index = 0;
        // 1-based, in the scan text.
        qsizetype phraseStart = 0;
        bool inCapitals = false;
    };

    // Adds the weight of phrase `index` found at `phraseStart` as often as it counts; returns whether it is
    // written in capitals.
    bool countOccurrence(qsizetype index, qsizetype phraseStart, const QString& scanText);
    Occurrence describe(const HandledOccurrence& handled) const;
    // The percentage, the gauge and the last occurrence follow the score after every occurrence, but only
    // their state after a press's last occurrence can be seen: a press runs to its end before any painting.
    void showLastOccurrence(const HandledOccurrence& last, qsizetype textLength);
    void sizeGauge();
    void finishScan();

    SearchFactory m_makeSearch;
    std::shared_ptr<const PhraseIndex> m_index;
    std::unique_ptr<PhraseSearch> m_search;
    QString m_scanText;
    // The texts m_scanText was written from.
    QString m_subject;
    QString m_body;
    CaptionNumbers m_numbers;
    ScoreAccumulator m_score;
    ScanOutcome m_outcome;
    bool m_keepOccurrences = false;
    bool m_listPhrases = true;
    qint16 m_stepIndex = 0;
    qsizetype m_matchPos = 0;
};
