#pragma once

#include "scanner/ScanSession.h"

#include <QString>

#include <optional>
#include <string>

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
    bool paused = false;
    qint16 stepIndex = 0;
    qsizetype matchPos = 0;
};

inline Shown shownBy(const ScanSession& session)
{
    const ScanResults& r = session.results();
    return Shown {r.score(),      r.percent(), r.phrases(),        r.passFail(),        r.status(),
                  r.scanButton(), r.gauge(),   session.isPaused(), session.stepIndex(), session.matchPos()};
}

inline QString describe(const Occurrence& o)
{
    return QStringLiteral("[%1 %2 %3 %4 %5 %6 %7 %8]")
        .arg(o.phraseIndex)
        .arg(o.phrase, o.text)
        .arg(o.bold)
        .arg(o.position)
        .arg(int(o.pane))
        .arg(o.start)
        .arg(o.length);
}

// The occurrences a press logged, as one comparable text.
inline std::string describe(const QList<Occurrence>& log)
{
    QString text;
    for (const Occurrence& o : log)
        text += describe(o);
    return text.toStdString();
}

// Everything a press shows, as one comparable text.
inline std::string describe(const PressOutcome& outcome, const Shown& shown)
{
    QString text = QStringLiteral("kind %1; handled %2;").arg(int(outcome.kind)).arg(outcome.handled);
    if (outcome.last)
        text += QStringLiteral("last %1;").arg(describe(*outcome.last));
    text += QStringLiteral("score %1;percent %2;list %3;passfail %4;status %5;button %6;")
                .arg(shown.score, shown.percent, shown.phrases, shown.passFail, shown.status, shown.scanButton);
    if (shown.gauge)
        text
            += QStringLiteral("gauge %1 %2 %3;").arg(shown.gauge->green).arg(shown.gauge->yellow).arg(shown.gauge->red);
    text += QStringLiteral("paused %1 step %2 match %3").arg(shown.paused).arg(shown.stepIndex).arg(shown.matchPos);
    return text.toStdString();
}
