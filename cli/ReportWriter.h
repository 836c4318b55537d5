#pragma once

#include "cli/MessageFeed.h"
#include "cli/NativePath.h"
#include "cli/ScanReport.h"

#include <QCoreApplication>
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
    // An input that could not be used, or with no file or the definitions file a fault that ends the run
    // before any message; the command has said why on standard error already.
    virtual void writeFault(const ReadMessage&) { }
    // The end of the run, also of one that failed.
    virtual void finish(const RunTally&) { }

    static std::unique_ptr<ReportWriter> create(ReportFormat format, QTextStream& out);
};

// The place in the file a phrase occurrence points at; unknown where the text has no place in the file (the
// body of a saved e-mail, a message of a mailbox, a subject given on the command line).
TextPosition placeOf(const Occurrence& occurrence, const MessageSourceMap& places);

// The weight that the occurrence added to the score: twice the phrase's weight when written in capitals.
double weightAdded(const Occurrence& occurrence, const PhraseTable& phrases);
