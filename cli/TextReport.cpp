#include "cli/TextReport.h"

#include "cli/NativePath.h"

#include <QTextStream>

TextReport::TextReport(QTextStream& out, const RunFacts& facts)
    : m_out(out)
    , m_stepThrough(facts.stepThrough)
    , m_captions(facts.locale)
{
}

void TextReport::write(const RatedMessage& rated)
{
    m_out << "File: " << NativePath::visible(rated.read.name()) << '\n';
    writeBlock(rated);
    m_out << '\n';
}

void TextReport::writeSingle(const RatedMessage& rated)
{
    writeBlock(rated);
}

// Written straight to the stream, piece by piece: a long text holds tens of thousands of occurrences.
void TextReport::writeBlock(const RatedMessage& rated)
{
    const ScanOutcome& outcome = rated.outcome;
    const QString& part = rated.read.message.text.partUsed;
    if (!part.isEmpty())
        m_out << "Message part: " << part << '\n';
    m_out << "Verdict: " << m_captions.verdict(outcome) << '\n';
    m_out << "Overall Score: " << m_captions.score(outcome) << '\n';
    m_out << "Overall Percentage: " << m_captions.percent(outcome) << '\n';
    m_out << "Trigger Phrases:\n";
    for (const QString& phrase : outcome.phrases.phrases())
        m_out << "  " << phrase << '\n';
    m_out << (m_stepThrough ? "Stops:\n" : "Occurrences:\n");
    for (const Occurrence& occurrence : outcome.occurrences) {
        m_out << "  " << m_captions.occurrence(occurrence) << " (" << OutcomeCaptions::paneName(occurrence.pane)
              << ", start " << occurrence.start << ", length " << occurrence.length << ")\n";
    }
}
