#pragma once

#include <QElapsedTimer>
#include <QLocale>
#include <QTextStream>

#include <optional>

// The progress of a long run on one line of a terminal: messages done, the rate, and once the number of
// messages is known, that number and the time left. It appears only once the run has taken a second, and
// is redrawn a few times a second at most.
class ProgressLine
{
public:
    ProgressLine(QTextStream& terminal, bool shown, const QLocale& locale)
        : m_terminal(terminal)
        , m_shown(shown)
        , m_locale(locale)
    {
        m_clock.start();
    }

    // `total` is nothing while more messages may yet be found (a folder not listed, a mailbox being split).
    void update(qsizetype done, std::optional<qsizetype> total)
    {
        const qint64 elapsed = m_clock.elapsed();
        if (!m_shown || elapsed < 1000 || elapsed - m_drawnAt < 200)
            return;
        m_drawnAt = elapsed;
        m_terminal << "\r\x1b[K" << text(done, total, elapsed, m_locale);
        m_terminal.flush();
        m_drawn = true;
    }

    // Takes the line away again, so nothing of it is left among the results.
    void clear()
    {
        if (!m_drawn)
            return;
        m_terminal << "\r\x1b[K";
        m_terminal.flush();
    }

    // "1,200 of 5,000 messages, 400/s, 0:09 left", or "1,200 messages, 400/s" while the total is unknown.
    static QString text(qsizetype done, std::optional<qsizetype> total, qint64 elapsedMs, const QLocale& locale)
    {
        const double rate = done * 1000.0 / double(std::max<qint64>(elapsedMs, 1));
        const QString rateText = locale.toString(qint64(rate));
        if (!total)
            return QStringLiteral("%1 messages, %2/s").arg(locale.toString(done), rateText);
        const qint64 secondsLeft = rate > 0 ? qint64(double(*total - done) / rate) : 0;
        return QStringLiteral("%1 of %2 messages, %3/s, %4:%5 left")
            .arg(locale.toString(done), locale.toString(*total), rateText)
            .arg(secondsLeft / 60)
            .arg(secondsLeft % 60, 2, 10, QLatin1Char('0'));
    }

private:
    QTextStream& m_terminal;
    bool m_shown;
    QLocale m_locale;
    QElapsedTimer m_clock;
    qint64 m_drawnAt = 0;
    bool m_drawn = false;
};
