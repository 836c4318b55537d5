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
    m_out << QStringLiteral("File: %1\n").arg(NativePath::visible(rated.read.name())) << block(rated) << '\n';
}

void TextReport::writeSingle(const RatedMessage& rated)
{
    m_out << block(rated);
}

QString TextReport::block(const RatedMessage& rated)
{
    const ScanOutcome& outcome = rated.outcome;
    const QString& part = rated.read.message.text.partUsed;
    QString text;
    if (!part.isEmpty())
        text += QStringLiteral("Message part: %1\n").arg(part);
    text += QStringLiteral("Verdict: %1\n").arg(m_captions.verdict(outcome));
    text += QStringLiteral("Overall Score: %1\n").arg(m_captions.score(outcome));
    text += QStringLiteral("Overall Percentage: %1\n").arg(m_captions.percent(outcome));
    text += QStringLiteral("Trigger Phrases:\n");
    for (const QString& phrase : outcome.phrases.phrases())
        text += QStringLiteral("  %1\n").arg(phrase);
    text += m_stepThrough ? QStringLiteral("Stops:\n") : QStringLiteral("Occurrences:\n");
    for (const Occurrence& occurrence : outcome.occurrences) {
        text += QStringLiteral("  %1 (%2, start %3, length %4)\n")
                    .arg(m_captions.occurrence(occurrence), OutcomeCaptions::paneName(occurrence.pane))
                    .arg(occurrence.start)
                    .arg(occurrence.length);
    }
    return text;
}
