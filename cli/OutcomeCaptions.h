#pragma once

#include "scanner/CaptionNumbers.h"
#include "scanner/ScanOutcome.h"

#include <QString>

#include <unordered_map>

// The window's captions that the text and JSON reports repeat: the verdict, the score, the percentage, and
// each occurrence as the verdict line shows it while a scan runs ("'free' - (Bold) 2").
class OutcomeCaptions
{
public:
    explicit OutcomeCaptions(const QLocale& locale);

    QString verdict(const ScanOutcome& outcome) const;
    QString score(const ScanOutcome& outcome) const;
    QString percent(const ScanOutcome& outcome) const;
    QString occurrence(const Occurrence& occurrence);
    static QString paneName(Pane pane);

private:
    CaptionNumbers m_numbers;
    // A run writes the few weights of its table again and again, and writing one in general form is costly:
    // each is written once, kept by the bits of the weight, so that -0 and 0 keep their own texts.
    std::unordered_map<quint64, QString> m_weightTexts;
};
