#pragma once

#include "CaptionNumbers.h"
#include "PhraseList.h"
#include "ScoreGauge.h"

#include <QString>

#include <array>
#include <optional>

// The results of the scan exactly as the main window shows them: the texts of the score, percentage,
// phrase list, verdict and status captions, the caption of the scan button and the gauge widths.
// The running score and percentage live in these texts and are read back from them.
class ScanResults
{
public:
    explicit ScanResults(const QLocale& locale = QLocale::system());

    const CaptionNumbers& numbers() const { return m_numbers; }

    const QString& score() const;
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

    double scoreValue() const;
    double percentValue() const { return m_percentValue; }

    // Score "0.0", percentage "%", phrase list empty; the gauge, verdict and status stay.
    void resetResults();
    // Sizes the gauge from the score and percentage captions as they stand.
    void updateGauges();

    void addToScore(double weight);
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
    void setScore(const QString& caption);
    void setPercent(const QString& caption);
    bool startCountingTenths();

    CaptionNumbers m_numbers;
    // The score caption is written when it is next read, from the last sum; additions go by the value
    // it reads back as.
    mutable QString m_score;
    mutable bool m_scoreUnwritten = false;
    double m_scoreSum = 0.0;
    double m_scoreValue = 0.0;
    // While the score and every weight added are whole numbers of tenths (weights with one decimal), the
    // score is counted in tenths: adding gives exactly the value the caption reads back as, and an
    // integer addition need not wait for the rounding of the one before. The last sum is then the value
    // before the last addition plus its weight.
    bool m_countingTenths = false;
    qint64 m_tenths = 0;
    qint64 m_tenthsBefore = 0;
    double m_lastWeight = 0.0;
    // Every entry starts as the weight 0, which is 0 tenths.
    struct WeightTenths
    {
        quint64 bits = 0;
        std::optional<qint64> tenths = 0;
    };
    static constexpr int WeightCacheBits = 4;
    std::array<WeightTenths, 1 << WeightCacheBits> m_weightTenths;
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
