#pragma once

#include "cli/MessageFeed.h"
#include "cli/ReportWriter.h"
#include "cli/ScanSettings.h"
#include "scanner/PhraseTable.h"

#include <QLocale>

class QTextStream;

// One run over all the inputs of a command line with one definitions table: the messages are read and rated
// on the run's threads, reported one after another in input order, and the verdicts tallied.
class BatchRun
{
public:
    BatchRun(const ScanSettings& settings,
             QTextStream& out,
             QTextStream& err,
             const QLocale& locale,
             MessageFeed::StandardInput standardInput);

    void setProgressShown(bool shown) { m_progressShown = shown; }

    // Rates every message with `table` (read from `definitionsPath`) and reports it; returns the exit
    // status: the first fault of an input, else the worst verdict as --fail-on counts it.
    int rate(PhraseTable table, const QString& definitionsPath);

private:
    // Whether the run names a single input that is not a folder: a run whose input holds one message is
    // reported as that message alone.
    bool hasOneInput() const;
    int exitStatusFor(Verdict worst) const;

    const ScanSettings& m_settings;
    QTextStream& m_out;
    QTextStream& m_err;
    QLocale m_locale;
    MessageFeed::StandardInput m_standardInput;
    bool m_progressShown = false;
};
