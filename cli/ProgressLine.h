#pragma once

#include <QElapsedTimer>
#include <QLocale>
#include <QTextStream>

// The progress of a long run on one line of a terminal: messages done of those found, the rate and the time
// left. It appears only once the run has taken a second, and is redrawn a few times a second at most.
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

    void update(qsizetype done, qsizetype found)
    {
        const qint64 elapsed = m_clock.elapsed();
        if (!m_shown || elapsed < 1000 || elapsed - m_drawnAt < 200)
            return;
        m_drawnAt = elapsed;
        const double rate = done * 1000.0 / double(elapsed);
        const qint64 secondsLeft = rate > 0 ? qint64(double(found - done) / rate) : 0;
        m_terminal << "\r\x1b[K"
                   << QStringLiteral("%1 of %2 messages, %3/s, %4:%5 left")
                          .arg(m_locale.toString(done), m_locale.toString(found), m_locale.toString(qint64(rate)))
                          .arg(secondsLeft / 60)
                          .arg(secondsLeft % 60, 2, 10, QLatin1Char('0'));
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

private:
    QTextStream& m_terminal;
    bool m_shown;
    QLocale m_locale;
    QElapsedTimer m_clock;
    qint64 m_drawnAt = 0;
    bool m_drawn = false;
};
