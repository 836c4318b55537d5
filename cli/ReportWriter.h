#pragma once

#include "cli/MessageFeed.h"
#include "scanner/PhraseTable.h"
#include "scanner/ScanOutcome.h"

#include <QLocale>
#include <QString>

// What the reports tell of the run as a whole.
struct RunFacts
{
    // The captions' locale.
    QLocale locale;
    bool stepThrough = false;
    QString definitionsPath;
    qsizetype phrasesLoaded = 0;
};

// One rated message, as the report writers take it.
struct RatedMessage
{
    const ReadMessage& read;
    const ScanOutcome& outcome;
    const PhraseTable& table;
    // The subject as rated: the message's own, or the one the command line gave.
    const QString& subject;
};

// Writes the reports of a run in one format, message after message in input order, each from the message's
// scan outcome.
class ReportWriter
{
public:
    virtual ~ReportWriter() = default;

    virtual void write(const RatedMessage& rated) = 0;
    // The only message of a run whose one input holds a single message; by default written as any other.
    virtual void writeSingle(const RatedMessage& rated) { write(rated); }
    // An input that could not be used, or with no file or the definitions file a fault that ends the run
    // before any message; the command has said why on standard error already.
    virtual void writeFault(const ReadMessage&) { }
    // The end of the run, also of one that failed.
    virtual void finish() { }
};

// The plainer wordings of the occurrence's phrase, fitted to the occurrence as written (WordingCase).
QStringList suggestionsFor(const Occurrence& occurrence, const RatedMessage& rated);

// The place in the file an occurrence points at; unknown where the text has no place in the file (the body of
// a saved e-mail, a message of a mailbox, a subject given on the command line).
TextPosition placeOf(const Occurrence& occurrence, const MessageSourceMap& places);
