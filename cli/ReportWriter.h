#pragma once

#include "cli/MessageFeed.h"
#include "cli/ScanReport.h"

#include <QLocale>
#include <QTextStream>

#include <memory>

// One rated message, as the report writers take it.
struct RatedMessage
{
    const ReadMessage& read;
    const ScanReport& report;
    const PhraseTable& phrases;
    // The run's only input, a file that holds one message: reported exactly as a run of one message is.
    bool alone = false;
};

// What a run found, message by message.
struct RunTally
{
    qsizetype pass = 0;
    qsizetype questionable = 0;
    qsizetype fail = 0;
    qsizetype unreadable = 0;

    // The messages rated; those that could not be read are counted apart.
    qsizetype rated() const { return pass + questionable + fail; }
    // "12 messages: 9 Pass, 2 Questionable, 1 Fail; 1 could not be read"
    QString summary(const QLocale& locale) const;
};

enum class ReportFormat
{
    Text,
    Json,
    Gcc,
    Sarif
};

// Writes the reports of a run in one format, message after message in input order.
class ReportWriter
{
public:
    virtual ~ReportWriter() = default;

    virtual void write(const RatedMessage& rated) = 0;
    // An input that could not be used; the command has said why on standard error already.
    virtual void writeFault(const ReadMessage&) { }
    // The end of the run.
    virtual void finish(const RunTally&) { }

    static std::unique_ptr<ReportWriter> create(ReportFormat format, QTextStream& out);
};

// The place a phrase occurrence points at: in the file, or in the decoded body of a saved e-mail. A subject
// that does not come from the file points at its first line.
TextPosition placeOf(const Occurrence& occurrence, const MessageSourceMap& places);

// The weight that the occurrence added to the score: twice the phrase's weight when written in capitals.
double weightAdded(const Occurrence& occurrence, const PhraseTable& phrases);
