#pragma once

#include "scanner/Occurrence.h"
#include "scanner/PhraseList.h"
#include "scanner/ScoreGauge.h"

#include <optional>
#include <vector>

enum class Verdict
{
    Pass,
    Questionable,
    Fail
};

// The verdict for the larger of the score and the percentage number: below 3 Pass, below 5 Questionable,
// otherwise Fail.
Verdict verdictFor(double value);
// "Pass", "Questionable" or "Fail": the verdict's name in every face.
QString nameOf(Verdict verdict);

// Where a scan stands between presses of the scan button.
enum class ScanPhase
{
    // No scan has run yet.
    Ready,
    // Step Through stopped at an occurrence; the next press goes on from there.
    Stopped,
    Finished
};

// What the scans of a session have found, as every face shows it: the window's captions, the command line's
// reports and the editor's diagnostics are all made from this value.
struct ScanOutcome
{
    ScanPhase phase = ScanPhase::Ready;
    // Set when a scan has finished, until the next press or the results are cleared.
    std::optional<Verdict> verdict;
    // The last occurrence the last press handled (the stop, after a Step Through press); none once the
    // results are cleared.
    std::optional<Occurrence> lastOccurrence;
    // The score after every addition rounded to one decimal, as its caption reads back; none until an
    // occurrence was counted since the results were last reset.
    std::optional<double> score;
    // The score per character of text, times 120, rounded to two decimals as its caption reads back ("3.45"
    // for 3.45 %); none until an occurrence was handled since the results were last reset.
    std::optional<double> percentage;
    // None until the gauge was first sized.
    std::optional<GaugeWidths> gauge;
    // The phrases found, in the order first found.
    PhraseList phrases;
    // Every occurrence handled since the results were last reset, in order, when the session keeps them.
    std::vector<Occurrence> occurrences;
};

// What a face says when the subject and body hold nothing to rate, completed by the product's title.
QString emptyInputMessage(const QString& productTitle);
