#include "cli/RunTally.h"

void RunTally::count(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Pass:
        ++m_pass;
        return;
    case Verdict::Questionable:
        ++m_questionable;
        return;
    case Verdict::Fail:
        ++m_fail;
        return;
    }
}

QString RunTally::summary(const QLocale& locale) const
{
    const qsizetype count = rated();
    QString text = QStringLiteral("%1 %2: %3 %4, %5 %6, %7 %8")
                       .arg(locale.toString(count), count == 1 ? QStringLiteral("message") : QStringLiteral("messages"),
                            locale.toString(m_pass), nameOf(Verdict::Pass), locale.toString(m_questionable),
                            nameOf(Verdict::Questionable), locale.toString(m_fail), nameOf(Verdict::Fail));
    if (m_unreadable > 0)
        text += QStringLiteral("; %1 could not be read").arg(locale.toString(m_unreadable));
    return text;
}
