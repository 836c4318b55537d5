#pragma once

#include "mainwindow/ResultCaptions.h"
#include "scanner/CaptionNumbers.h"
#include "scanner/ScanSession.h"

#include <QString>

#include <optional>
#include <string>
#include <vector>

// What a user can see of a scan, in one comparable text: the differential test and the scan fuzzer compare
// the two engines by it.

// Everything a user can see after a press, and the paused scan's state.
struct Shown
{
    QString score;
    QString percent;
    QString phrases;
    QString passFail;
    QString status;
    QString scanButton;
    std::optional<GaugeWidths> gauge;
    // The last occurrence handled, described.
    QString last;
    bool paused = false;
    qint16 stepIndex = 0;
    qsizetype matchPos = 0;
};

inline QString describe(const Occurrence& o)
{
    return QStringLiteral("[%1 %2 caps %3 counts %4 adds %5 at %6 %7 %8 %9]")
        .arg(o.phraseIndex)
        .arg(o.phrase)
        .arg(o.inCapitals)
        .arg(o.counts)
        .arg(o.weightAdded, 0, 'g', 17)
        .arg(o.position)
        .arg(int(o.pane))
        .arg(o.start)
        .arg(o.length);
}

// The occurrences a scan kept, as one comparable text.
inline std::string describe(const std::vector<Occurrence>& log)
{
    QString text;
    for (const Occurrence& o : log)
        text += describe(o);
    return text.toStdString();
}

// What the window shows of a session's outcome.
inline Shown shownBy(const ScanSession& session, const CaptionNumbers& numbers)
{
    const ScanOutcome& outcome = session.outcome();
    const ResultCaptions captions = ResultCaptions::of(outcome, numbers);
    return Shown {captions.score,     captions.percent,
                  captions.phrases,   captions.verdict,
                  captions.status,    captions.scanButton,
                  outcome.gauge,      outcome.lastOccurrence ? describe(*outcome.lastOccurrence) : QString(),
                  session.isPaused(), session.stepIndex(),
                  session.matchPos()};
}

// Everything a press shows, as one comparable text.
inline std::string describe(const PressOutcome& outcome, const Shown& shown)
{
    QString text = QStringLiteral("kind %1; handled %2;").arg(int(outcome.kind)).arg(outcome.handled);
    text += QStringLiteral("last %1;score %2;percent %3;list %4;passfail %5;status %6;button %7;")
                .arg(shown.last, shown.score, shown.percent, shown.phrases, shown.passFail, shown.status,
                     shown.scanButton);
    if (shown.gauge)
        text
            += QStringLiteral("gauge %1 %2 %3;").arg(shown.gauge->green).arg(shown.gauge->yellow).arg(shown.gauge->red);
    text += QStringLiteral("paused %1 step %2 match %3").arg(shown.paused).arg(shown.stepIndex).arg(shown.matchPos);
    return text.toStdString();
}
