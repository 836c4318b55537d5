#pragma once

#include "scanner/ScanOutcome.h"

#include <QLocale>
#include <QString>

// What a run found, message by message.
class RunTally
{
public:
    void count(Verdict verdict);
    void countUnreadable() { ++m_unreadable; }

    // The messages rated; those that could not be read are counted apart.
    qsizetype rated() const { return m_pass + m_questionable + m_fail; }
    // "12 messages: 9 Pass, 2 Questionable, 1 Fail; 1 could not be read"
    QString summary(const QLocale& locale) const;

private:
    qsizetype m_pass = 0;
    qsizetype m_questionable = 0;
    qsizetype m_fail = 0;
    qsizetype m_unreadable = 0;
};
