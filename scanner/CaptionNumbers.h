#pragma once

#include <QLocale>
#include <QString>

// Writes and reads the numbers that the result captions show, by one locale's rules. The scan reads
// its running score and percentage back from these texts, so every value is rounded as the user sees it.
class CaptionNumbers
{
public:
    explicit CaptionNumbers(const QLocale& locale = QLocale::system());

    const QLocale& locale() const { return m_locale; }

    // One decimal, with the locale's grouping: 3 shows as "3.0", 1234.5 as "1,234.5" in English.
    QString score(double value) const;
    // The value times 100 with two decimals and "%": 0.0345 shows as "3.45%".
    QString percent(double value) const;
    // Shortest general form up to 15 significant digits, without grouping: 0.5 shows as "0.5", 3 as "3".
    QString weight(double value) const;

    // A score caption as a number; a caption that does not read counts as 0.
    double readScore(const QString& caption) const;
    // What the score caption written for `value` reads back as, without writing it: the value rounded to
    // one decimal, exact halves away from zero, as the caption's format rounds.
    double scoreReadBack(double value) const;
    // The percentage number of a caption: every "%" removed and "0" appended, so "%" alone reads as 0
    // and "3.45%" as 3.45.
    double readPercent(const QString& caption) const;

private:
    QLocale m_locale;
    QLocale m_ungroupedLocale;
};
