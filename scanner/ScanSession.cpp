#include "scanner/ScanSession.h"

#include "scanner/Captions.h"
#include "scanner/FastSearch.h"
#include "scanner/PhraseSearch.h"

#include <algorithm>
#include <bit>

namespace {

bool isBlank(const QString& text)
{
    for (QChar c : text) {
        if (c != u' ')
            return false;
    }
    return true;
}

// Equal texts; the same shared text (a caller pressing again with the texts it has) is told at once.
bool sameText(const QString& text, const QString& kept)
{
    return (text.constData() == kept.constData() && text.size() == kept.size()) || text == kept;
}

} // namespace

ScanSession::ScanSession(const QLocale& locale, SearchFactory makeSearch)
    : m_makeSearch(makeSearch ? std::move(makeSearch)
                              : [](const PhraseTable& table) { return std::make_unique<FastSearch>(table); })
    , m_search(m_makeSearch(m_table))
    , m_results(locale)
{
}

ScanSession::~ScanSession() = default;

void ScanSession::clearResults()
{
    m_results.resetResults();
    m_results.updateGauges();
}

void ScanSession::resetDefinitions()
{
    setDefinitions(PhraseTable {});
}

void ScanSession::setDefinitions(PhraseTable table)
{
    m_table = std::move(table);
    m_search = m_makeSearch(m_table);
    m_stepIndex = 0;
    m_matchPos = 0;
}

QString ScanSession::scanText(const QString& subject, const QString& body)
{
    QString text;
    writeScanText(text, subject, body);
    return text;
}

void ScanSession::writeScanText(QString& text, const QString& subject, const QString& body)
{
    text.resize(0);
    text.reserve(SubjectWidth + body.size());
    text.append(QStringView(subject).first(std::min(subject.size(), SubjectWidth)));
    text.resize(SubjectWidth, u' ');
    text.append(body);
}

PressOutcome ScanSession::press(const QString& subject, const QString& body, bool stepThrough, QList<Occurrence>* log)
{
    PressOutcome outcome;
    if (isBlank(subject) && isBlank(body))
        return outcome;

    if (!isPaused())
        clearResults();
    m_results.setPassFail(QString());
    m_results.setStatus(Captions::StatusScanning);

    // A paused scan on the texts it stopped in goes on from the walk already made; otherwise the scan text
    // is written into the same buffer and walked again.
    if (!isPaused() || !sameText(subject, m_subject) || !sameText(body, m_body)) {
        writeScanText(m_scanText, subject, body);
        m_search->setText(m_scanText);
        m_subject = subject;
        m_body = body;
    }
    const QString& text = m_scanText;
    const qsizetype textLength = subject.size() + body.size();

    // The last occurrence handled; described once the press ends.
    HandledOccurrence last;

    // A paused scan resumes at its phrase; phrases that do not occur in the text at all are passed by.
    for (qsizetype index = isPaused() ? m_stepIndex : m_search->nextCandidate(m_stepIndex); index < m_table.size();
         index = m_search->nextCandidate(index + 1)) {
        // An empty entry stands for a table without phrases; it would match everywhere.
        if (m_table.at(index).phrase.isEmpty()) {
            m_matchPos = 0;
            continue;
        }
        const auto handle = [&](qsizetype phraseStart) {
            last = {index, phraseStart, countOccurrence(index, phraseStart, text)};
            ++outcome.handled;
            if (log)
                log->append(describeOccurrence(last));
        };
        const auto listPhrase = [&] {
            if (!m_results.phraseList().contains(*m_search, index))
                m_results.appendPhrase(index, m_table.at(index).phrase);
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
                showLastOccurrence(outcome, last, textLength);
                m_stepIndex = qint16(index);
                m_results.setScanButton(Captions::NextButton);
                outcome.kind = PressOutcome::Kind::Stopped;
                return outcome;
            }
            m_matchPos = rule.handle() ? m_search->findPadded(index, m_matchPos) + 1 : 0;
        }
    }

    showLastOccurrence(outcome, last, textLength);
    finishScan();
    outcome.kind = PressOutcome::Kind::Finished;
    return outcome;
}

bool ScanSession::countOccurrence(qsizetype index, qsizetype phraseStart, const QString& scanText)
{
    const TriggerPhrase& entry = m_table.at(index);
    m_results.addToScore(entry.weight);
    const bool bold = isAllCaps(QStringView(scanText).sliced(phraseStart - 1, entry.phrase.size()));
    if (bold)
        m_results.addToScore(entry.weight);
    return bold;
}

Occurrence ScanSession::describeOccurrence(const HandledOccurrence& handled)
{
    const TriggerPhrase& entry = m_table.at(handled.index);
    Occurrence occurrence;
    occurrence.phraseIndex = handled.index;
    occurrence.phrase = entry.phrase;
    occurrence.bold = handled.bold;
    occurrence.position = handled.phraseStart;
    occurrence.length = entry.phrase.size();
    occurrence.pane = handled.phraseStart <= SubjectWidth ? Pane::Subject : Pane::Body;
    occurrence.start = handled.phraseStart - (occurrence.pane == Pane::Subject ? 1 : SubjectWidth + 1);
    occurrence.text = handled.bold ? u'\'' + entry.phrase + QStringLiteral("' - (Bold) ") + weightText(2 * entry.weight)
                                   : u'\'' + entry.phrase + QStringLiteral("' - ") + weightText(entry.weight);
    return occurrence;
}

const QString& ScanSession::weightText(double weight)
{
    // A table holds few distinct weights, and writing one in general form is costly.
    QString& text = m_weightTexts[std::bit_cast<quint64>(weight)];
    if (text.isEmpty())
        text = m_results.numbers().weight(weight);
    return text;
}

void ScanSession::showLastOccurrence(PressOutcome& outcome, const HandledOccurrence& last, qsizetype textLength)
{
    // The verdict caption, the percentage and the gauge follow the score after every occurrence, but only
    // their state after a press's last occurrence can be seen: a press runs to its end before any painting.
    if (outcome.handled == 0)
        return;
    outcome.last = describeOccurrence(last);
    m_results.setPassFail(outcome.last->text);
    m_results.updatePercent(textLength);
    m_results.updateGauges();
}

void ScanSession::finishScan()
{
    m_stepIndex = 0;
    m_matchPos = 0;
    m_results.setScanButton(Captions::ScanButton);
    m_results.setStatus(Captions::StatusFinished);
    m_results.showVerdict();
}

bool isAllCaps(QStringView text)
{
    for (QChar c : text) {
        if (c < u'A' || c > u'Z')
            return false;
    }
    return true;
}
