#include "mainwindow/ResultCaptions.h"

#include "scanner/CaptionNumbers.h"

namespace {

QString statusOf(ScanPhase phase)
{
    switch (phase) {
    case ScanPhase::Ready:
        return ResultCaptions::StatusReady;
    case ScanPhase::Stopped:
        return QStringLiteral("Scanning Email Content");
    case ScanPhase::Finished:
        break;
    }
    return QStringLiteral("Finished Scanning");
}

} // namespace

ResultCaptions ResultCaptions::of(const ScanOutcome& outcome, const CaptionNumbers& numbers)
{
    ResultCaptions captions;
    captions.score = numbers.shownScore(outcome.score);
    captions.percent = numbers.shownPercentage(outcome.percentage);
    for (const QString& phrase : outcome.phrases.phrases())
        captions.phrases += phrase + u'\n';
    if (outcome.verdict)
        captions.verdict = nameOf(*outcome.verdict);
    else if (outcome.lastOccurrence)
        captions.verdict = occurrence(*outcome.lastOccurrence, numbers);
    captions.status = statusOf(outcome.phase);
    captions.scanButton = outcome.phase == ScanPhase::Stopped ? QStringLiteral("Next") : ScanButton;
    return captions;
}

QString ResultCaptions::occurrence(const Occurrence& occurrence, const CaptionNumbers& numbers)
{
    return u'\'' + occurrence.phrase + (occurrence.inCapitals ? QStringLiteral("' - (Bold) ") : QStringLiteral("' - "))
        + numbers.weight(occurrence.weightAdded);
}
