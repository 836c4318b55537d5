#pragma once

#include "scanner/ScanOutcome.h"

#include <QString>

class CaptionNumbers;

// The main window's captions for a scan's outcome: the score, the percentage, the phrase list, the verdict
// line, the status line and the scan button, as the user sees them and in the user's locale.
struct ResultCaptions
{
    // What the labels and the button say before the first scan.
    static inline const QString StatusReady = QStringLiteral("Enter your email content below");
    static inline const QString ScanButton = QStringLiteral("Scan");

    QString score;
    QString percent;
    // The phrases found, each on a line of its own.
    QString phrases;
    // The last occurrence while a scan runs, the verdict after it.
    QString verdict;
    QString status;
    QString scanButton;

    static ResultCaptions of(const ScanOutcome& outcome, const CaptionNumbers& numbers);
    // An occurrence as the verdict line shows it while a scan runs: "'free' - (Bold) 2" in capitals.
    static QString occurrence(const Occurrence& occurrence, const CaptionNumbers& numbers);
};
