#pragma once

#include <QLocale>
#include <QString>

#include <optional>

// Writes and reads the numbers that the result captions show, by one locale's rules. The scan reads
// its running score and percentage back from these texts, so every value is rounded as the user sees it.
class CaptionNumbers
{
public:
    // The captions of the score and the percentage before anything was counted, in every locale.
    static inline const QString NoScore = QStringLiteral("0.0");
    static inline const QString NoPercentage = QStringLiteral("%");

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
    // What the percentage caption written for `value` reads back as: 0.0345 gives 3.45.
    double percentReadBack(double value) const { return readPercent(percent(value)); }

    // The captions that read back as a score and a percentage number: the captions of a scan's outcome. A
    // negative zero, which only a caption of a value just below zero reads back as, keeps its sign.
    QString shownScore(std::optional<double> score) const;
    // 3.45 shows as "3.45%"; no percentage as "%".
    QString shownPercentage(std::optional<double> percentage) const;

private:
    // The locale writes a negative zero without its sign.
    QString withSignOfZero(double value, const QString& number) const;

    QLocale m_locale;
    QLocale m_ungroupedLocale;
};
