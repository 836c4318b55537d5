#include "scanner/ScanSession.h"

#include "scanner/CapitalsRule.h"
#include "scanner/FastSearch.h"
#include "scanner/PhraseSearch.h"
#include "textio/OuterSpaces.h"

#include <algorithm>

namespace {

// Equal texts; the same shared text (a caller pressing again with the texts it has) is told at once.
bool sameText(const QString& text, const QString& kept)
{
    return (text.constData() == kept.constData() && text.size() == kept.size()) || text == kept;
}

} // namespace

ScanSession::ScanSession(const QLocale& locale, SearchFactory makeSearch)
    : m_makeSearch(
        makeSearch
            ? std::move(makeSearch)
            : [](const std::shared_ptr<const PhraseIndex>& index) { return std::make_unique<FastSearch>(index); })
    , m_index(std::make_shared<const PhraseIndex>(PhraseTable {}))
    , m_search(m_makeSearch(m_index))
    , m_numbers(locale)
    , m_score(locale)
{
}

ScanSession::~ScanSession() = default;

void ScanSession::resetResults()
{
    m_score.reset();
    m_outcome.score.reset();
    m_outcome.percentage.reset();
    m_outcome.phrases.clear();
    m_outcome.occurrences.clear();
}

void ScanSession::clearResults()
{
    m_outcome.verdict.reset();
    m_outcome.lastOccurrence.reset();
    resetResults();
    sizeGauge();
}

void ScanSession::resetDefinitions()
{
    setDefinitions(PhraseTable {});
}

void ScanSession::setDefinitions(std::shared_ptr<const PhraseIndex> index)
{
    m_index = std::move(index);
    m_search = m_makeSearch(m_index);
    m_stepIndex = 0;
    m_matchPos = 0;
}

void ScanSession::setDefinitions(PhraseTable table)
{
    setDefinitions(std::make_shared<const PhraseIndex>(std::move(table)));
}

PressOutcome ScanSession::press(const QString& subject, const QString& body, bool stepThrough)
{
    PressOutcome outcome;
    // Subject and body of nothing but spaces hold nothing to rate.
    if (withoutOuterSpaces(body).isEmpty() && withoutOuterSpaces(subject).isEmpty())
        return outcome;

    if (!isPaused()) {
        resetResults();
        sizeGauge();
    }
    m_outcome.verdict.reset();
    m_outcome.lastOccurrence.reset();

    // A paused scan on the texts it stopped in goes on from the walk already made; otherwise the scan text
    // is written into the same buffer and walked again.
    if (!isPaused() || !sameText(subject, m_subject) || !sameText(body, m_body)) {
        ScanText::write(m_scanText, subject, body);
        m_search->setText(m_scanText);
        m_subject = subject;
        m_body = body;
    }
    const QString& text = m_scanText;
    const qsizetype textLength = subject.size() + body.size();

    // The last occurrence handled; described once the press ends.
    HandledOccurrence last;

    // A paused scan resumes at its phrase; phrases that do not occur in the text at all are passed by.
    for (qsizetype index = isPaused() ? m_stepIndex : m_search->nextCandidate(m_stepIndex); index < table().size();
         index = m_search->nextCandidate(index + 1)) {
        // An empty entry stands for a table without phrases; it would match everywhere.
        if (table().at(index).phrase.isEmpty()) {
            m_matchPos = 0;
            continue;
        }
        const auto handle = [&](qsizetype phraseStart) {
            last = {index, phraseStart, countOccurrence(index, phraseStart, text)};
            ++outcome.handled;
            if (m_keepOccurrences)
                m_outcome.occurrences.push_back(describe(last));
        };
        const auto listPhrase = [&] {
            if (m_listPhrases && !m_outcome.phrases.contains(*m_search, index))
                m_outcome.phrases.append(index, table().at(index).phrase);
        };
        // A phrase gone through without stopping has its occurrences found at once.
        if (!stepThrough && m_matchPos == 0) {
            PhraseSearch::HandledStarts phraseStarts;
            const int count = m_search->handledOccurrences(index, phraseStarts);
            if (count > 0)
                listPhrase();
            for (int k = 0; k < count; ++k)
                handle(phraseStarts[size_t(k)]);
            continue;
        }

        m_matchPos = m_search->findFirst(index, m_matchPos) + 1;
        if (m_matchPos > 0)
            listPhrase();

        OccurrenceRule rule;
        while (m_matchPos > 0) {
            handle(rule.phraseStart(m_matchPos));
            if (stepThrough) {
                m_search->keepEveryOccurrence();
                showLastOccurrence(last, textLength);
                m_stepIndex = qint16(index);
                m_outcome.phase = ScanPhase::Stopped;
                outcome.kind = PressOutcome::Kind::Stopped;
                return outcome;
            }
            m_matchPos = rule.handle() ? m_search->findPadded(index, m_matchPos) + 1 : 0;
        }
    }

    if (outcome.handled > 0)
        showLastOccurrence(last, textLength);
    finishScan();
    outcome.kind = PressOutcome::Kind::Finished;
    return outcome;
}

bool ScanSession::countOccurrence(qsizetype index, qsizetype phraseStart, const QString& scanText)
{
    const TriggerPhrase& entry = table().at(index);
    const bool inCapitals = m_index->isInCapitals(index, scanText, phraseStart - 1);
    for (int time = 0; time < CapitalsRule::timesCounted(inCapitals); ++time)
        m_score.add(entry.weight);
    return inCapitals;
}

Occurrence ScanSession::describe(const HandledOccurrence& handled) const
{
    return Occurrence::of(table().at(handled.index), handled.index, handled.phraseStart - 1, handled.inCapitals, true);
}

void ScanSession::showLastOccurrence(const HandledOccurrence& last, qsizetype textLength)
{
    m_outcome.lastOccurrence = describe(last);
    m_outcome.score = m_score.value();
    m_outcome.percentage = m_numbers.percentReadBack(*m_outcome.score / double(textLength) * 1.2);
    sizeGauge();
}

void ScanSession::sizeGauge()
{
    m_outcome.gauge = ScoreGauge::widthsFor(m_outcome.score.value_or(0.0), m_outcome.percentage.value_or(0.0));
}

void ScanSession::finishScan()
{
    m_stepIndex = 0;
    m_matchPos = 0;
    m_outcome.phase = ScanPhase::Finished;
    m_outcome.verdict = verdictFor(std::max(m_outcome.score.value_or(0.0), m_outcome.percentage.value_or(0.0)));
}
