#include "cli/OutcomeCaptions.h"

#include <bit>

OutcomeCaptions::OutcomeCaptions(const QLocale& locale)
    : m_numbers(locale)
{
}

QString OutcomeCaptions::verdict(const ScanOutcome& outcome) const
{
    return outcome.verdict ? nameOf(*outcome.verdict) : QString();
}

QString OutcomeCaptions::score(const ScanOutcome& outcome) const
{
    return m_numbers.shownScore(outcome.score);
}

QString OutcomeCaptions::percent(const ScanOutcome& outcome) const
{
    return m_numbers.shownPercentage(outcome.percentage);
}

QString OutcomeCaptions::occurrence(const Occurrence& occurrence)
{
    QString& weight = m_weightTexts[std::bit_cast<quint64>(occurrence.weightAdded)];
    if (weight.isEmpty())
        weight = m_numbers.weight(occurrence.weightAdded);
    return u'\'' + occurrence.phrase + (occurrence.inCapitals ? QStringLiteral("' - (Bold) ") : QStringLiteral("' - "))
        + weight;
}

QString OutcomeCaptions::paneName(Pane pane)
{
    return pane == Pane::Subject ? QStringLiteral("subject") : QStringLiteral("body");
}
