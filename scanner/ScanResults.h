#pragma once

#include "scanner/CaptionNumbers.h"
#include "scanner/PhraseList.h"
#include "scanner/ScoreAccumulator.h"
#include "scanner/ScoreGauge.h"

#include <QString>

#include <optional>

// The results of the scan exactly as the main window shows them: the texts of the score, percentage,
// phrase list, verdict and status captions, the caption of the scan button and the gauge widths.
// The running score and percentage live in these texts and are read back from them.
class ScanResults
{
public:
    explicit ScanResults(const QLocale& locale = QLocale::system());

    const CaptionNumbers& numbers() const { return m_score.numbers(); }

    const QString& score() const { return m_score.caption(); }
    const QString& percent() const { return m_percent; }
    // The phrases found, each followed by CR LF, in the order first found.
    const QString& phrases() const { return m_phrases.text(); }
    const PhraseList& phraseList() const { return m_phrases; }
    // The last occurrence while scanning, the verdict after the scan.
    const QString& passFail() const { return m_passFail; }
    const QString& status() const { return m_status; }
    const QString& scanButton() const { return m_scanButton; }
    // Empty until the gauge is first sized; the window keeps its start-up sliver until then.
    const std::optional<GaugeWidths>& gauge() const { return m_gauge; }

    double scoreValue() const { return m_score.value(); }
    double percentValue() const { return m_percentValue; }

    // Score "0.0", percentage "%", phrase list empty; the gauge, verdict and status stay.
    void resetResults();
    // Sizes the gauge from the score and percentage captions as they stand.
    void updateGauges();

    void addToScore(double weight) { m_score.add(weight); }
    // The percentage of the score per character of text, scaled by 1.2.
    void updatePercent(qsizetype textLength);
    // Appends table entry `index`, whose phrase is `phrase`, and CR LF to the list.
    void appendPhrase(qsizetype index, const QString& phrase) { m_phrases.append(index, phrase); }
    void setPassFail(const QString& text) { m_passFail = text; }
    void setStatus(const QString& text) { m_status = text; }
    void setScanButton(const QString& text) { m_scanButton = text; }
    // Shows the verdict for the larger of the score and the percentage number.
    void showVerdict();

private:
    void setPercent(const QString& caption);

    ScoreAccumulator m_score;
    // The percentage caption and the number it reads as.
    QString m_percent;
    double m_percentValue = 0.0;
    PhraseList m_phrases;
    QString m_passFail;
    QString m_status;
    QString m_scanButton;
    std::optional<GaugeWidths> m_gauge;
};

// The verdict for a value: below 3 "Pass", below 5 "Questionable", otherwise "Fail".
QString verdictFor(double value);
