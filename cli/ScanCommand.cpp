#include "cli/ScanCommand.h"

#include "cli/MessageFeed.h"
#include "cli/NativePath.h"
#include "cli/ParallelReader.h"
#include "cli/ProgressLine.h"
#include "cli/ReportWriter.h"
#include "cli/ScanReport.h"
#include "messagefile/MessageFile.h"
#include "platform/AppIdentity.h"
#include "scanner/Captions.h"
#include "scanner/DefinitionsLoader.h"
#include "scanner/InputFile.h"
#include "scanner/TextDecoding.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QIODevice>
#include <QTextStream>
#include <QThread>

namespace {

int exitStatusFor(const DefinitionsFault& fault)
{
    switch (fault.cause) {
    case DefinitionsFault::Cause::CannotOpen:
        return ScanCommand::ExitNoInput;
    case DefinitionsFault::Cause::ReadFailed:
        return ScanCommand::ExitIoError;
    case DefinitionsFault::Cause::Contents:
        break;
    }
    return ScanCommand::ExitDataError;
}

int exitStatusFor(const QString& verdict)
{
    if (verdict == Captions::Pass)
        return ScanCommand::ExitPass;
    if (verdict == Captions::Questionable)
        return ScanCommand::ExitQuestionable;
    return ScanCommand::ExitFail;
}

// What a verdict makes of the exit status, by the verdict from which on a run fails.
int exitStatusFor(int verdictStatus, const QString& failOn)
{
    if (failOn == u"never" || (failOn == u"fail" && verdictStatus == ScanCommand::ExitQuestionable))
        return ScanCommand::ExitPass;
    return verdictStatus;
}

// "--eml=FILE" as the "--eml FILE" it always meant: --eml names no file of its own now, it says how the files
// given are read.
QStringList withFormatOptionsApart(QStringList arguments)
{
    for (qsizetype i = arguments.size() - 1; i > 0; --i) {
        const QString& argument = arguments.at(i);
        if (argument == u"--")
            break;
        for (const QStringView option : {u"--eml=", u"-eml="}) {
            if (argument.startsWith(option)) {
                const QString file = argument.sliced(option.size());
                arguments[i] = QStringLiteral("--eml");
                arguments.insert(i + 1, file);
                break;
            }
        }
    }
    return arguments;
}

} // namespace

ScanCommand::ScanCommand(QTextStream& out, QTextStream& err, const QLocale& locale, StandardInput standardInput)
    : m_out(out)
    , m_err(err)
    , m_locale(locale)
    , m_standardInput(std::move(standardInput))
{
}

int ScanCommand::fail(int status, const QString& message)
{
    for (const QString& line : message.split(u'\n'))
        m_err << TextDecoding::withVisibleControls(line) << '\n';
    return status;
}

int ScanCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    // "-step" is the long option, and "-sfoo" is no subject: a single dash never runs letters together.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Rates the subject and body of e-mails for the phrases that spam filters react to.\n"
                       "Exit status: 0 Pass, 1 Questionable, 2 Fail (the worst verdict of the run), 64 usage or "
                       "empty message, 65 definitions fault or malformed message, 66 a file cannot be opened or is "
                       "too large or a folder cannot be listed, 74 reading or writing failed.\n"
                       "Limits: a definitions file of at most 64 MiB, a body or message of at most 256 MiB."));
    const QCommandLineOption subjectOption({QStringLiteral("s"), QStringLiteral("subject")},
                                           QStringLiteral("The subject line (at most 120 characters are used) "
                                                          "of text files, and of HTML pages in place of their "
                                                          "title."),
                                           QStringLiteral("TEXT"));
    const QCommandLineOption definitionsOption({QStringLiteral("d"), QStringLiteral("definitions")},
                                               QStringLiteral("The definitions file (default: Definitions.dat "
                                                              "beside the program, else "
                                                              "../share/tallyvex/Definitions.dat relative to it)."),
                                               QStringLiteral("FILE"));
    const QCommandLineOption stepOption(QStringLiteral("step"),
                                        QStringLiteral("Step Through: stop at every occurrence, press after press, "
                                                       "and list every stop."));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("text (default), json (one object; JSON Lines for several "
                                                         "messages), gcc (FILE:LINE:COLUMN: warning: lines) or "
                                                         "sarif (one SARIF 2.1.0 log)."),
                                          QStringLiteral("FORMAT"));
    const QCommandLineOption jsonOption(QStringLiteral("json"), QStringLiteral("The same as --format json."));
    const QCommandLineOption emlOption(QStringLiteral("eml"),
                                       QStringLiteral("Read every file given (and '-') as a saved e-mail, whatever "
                                                      "its name. A malformed message exits with status 65."));
    const QCommandLineOption htmlOption(QStringLiteral("html"),
                                        QStringLiteral("Read every file given (and '-') as an HTML page."));
    const QCommandLineOption mboxOption(QStringLiteral("mbox"),
                                        QStringLiteral("Read every file given (and '-') as a mailbox of messages."));
    const QCommandLineOption jobsOption({QStringLiteral("j"), QStringLiteral("jobs")},
                                        QStringLiteral("Read messages on N threads (default: one per core)."),
                                        QStringLiteral("N"));
    const QCommandLineOption failOnOption(QStringLiteral("fail-on"),
                                          QStringLiteral("The verdict from which on the exit status says so: "
                                                         "questionable (default), fail or never."),
                                          QStringLiteral("VERDICT"));
    const QCommandLineOption quietOption({QStringLiteral("q"), QStringLiteral("quiet")},
                                         QStringLiteral("Print only the summary."));
    const QCommandLineOption noSummaryOption(QStringLiteral("no-summary"),
                                             QStringLiteral("Leave out the summary of a run of several messages."));
    parser.addOptions({subjectOption, definitionsOption, stepOption, formatOption, jsonOption, emlOption, htmlOption,
                       mboxOption, jobsOption, failOnOption, quietOption, noSummaryOption});
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("INPUT"),
                                 QStringLiteral("Message files (.eml, .html/.htm, .txt or a mailbox; any other name "
                                                "is read as text), folders to search for them, or '-' for "
                                                "standard input; nothing reads standard input."),
                                 QStringLiteral("[FILE | DIR | -]..."));

    if (!parser.parse(withFormatOptionsApart(arguments))) {
        return fail(ExitUsage,
                    parser.errorText() + QStringLiteral("\nTry '%1 --help'.").arg(QCoreApplication::applicationName()));
    }
    // The parser lists --help-all beside --help; without options of Qt's own to add, both print the same.
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"))) {
        m_out << parser.helpText();
        return ExitPass;
    }
    if (parser.isSet(versionOption)) {
        m_out << QCoreApplication::applicationName() << ' ' << AppIdentity::Version << '\n';
        return ExitPass;
    }
    if (parser.values(formatOption).size() > 1)
        return fail(ExitUsage, QStringLiteral("--format can be given only once."));
    const std::optional<ReportFormat> format = formatOf(parser.isSet(jsonOption), parser.value(formatOption));
    if (!format)
        return fail(ExitUsage, QStringLiteral("--format takes text, json, gcc or sarif, and --json only json."));
    // From here on, the formats that programs read tell of a fault too, unless only the summary is asked for.
    const ReportFormat faultFormat = parser.isSet(quietOption) ? ReportFormat::Text : *format;
    const auto failUsage
        = [this, faultFormat](const QString& sentence) { return failRun(faultFormat, ExitUsage, sentence); };
    for (const QCommandLineOption& option : {subjectOption, definitionsOption, jobsOption, failOnOption}) {
        if (parser.values(option).size() > 1)
            return failUsage(QStringLiteral("--%1 can be given only once.").arg(option.names().constLast()));
    }
    if (int(parser.isSet(emlOption)) + int(parser.isSet(htmlOption)) + int(parser.isSet(mboxOption)) > 1)
        return failUsage(QStringLiteral("Only one of --eml, --html and --mbox can be given."));
    for (const QCommandLineOption& option : {emlOption, mboxOption}) {
        if (parser.isSet(option) && parser.isSet(subjectOption)) {
            return failUsage(QStringLiteral("--%1 takes subject and body from the message; it cannot be "
                                            "combined with --subject.")
                                 .arg(option.names().constLast()));
        }
    }
    for (const QCommandLineOption& option : {emlOption, htmlOption, mboxOption}) {
        if (parser.isSet(option) && !readsMailFiles()) {
            return failUsage(QStringLiteral("--%1: this build of tallyvex-scan reads text files only, not "
                                            "saved e-mails, mailboxes or HTML pages.")
                                 .arg(option.names().constLast()));
        }
    }
    bool jobsValid = true;
    const int jobs = parser.isSet(jobsOption) ? parser.value(jobsOption).toInt(&jobsValid)
                                              : std::max(1, QThread::idealThreadCount());
    if (!jobsValid || jobs < 1 || jobs > MaxJobs)
        return failUsage(QStringLiteral("--jobs takes a number of threads from 1 to %1.").arg(MaxJobs));
    const QString failOn = parser.value(failOnOption);
    if (!failOn.isEmpty() && failOn != u"questionable" && failOn != u"fail" && failOn != u"never")
        return failUsage(QStringLiteral("--fail-on takes questionable, fail or never."));

    QString definitionsPath = parser.value(definitionsOption);
    if (!parser.isSet(definitionsOption)) {
        QStringList tried;
        definitionsPath = findDefinitions(QCoreApplication::applicationDirPath(), &tried);
        if (definitionsPath.isEmpty())
            return failRun(faultFormat, ExitNoInput, describeMissingDefinitions(tried));
    }
    LoadedDefinitions definitions = loadDefinitionsFile(definitionsPath, m_locale, InputFile::Accept::FilesAndStreams);
    if (definitions.fault) {
        return failRun(faultFormat, exitStatusFor(*definitions.fault),
                       QStringLiteral("Cannot use the definitions: ")
                           + definitions.fault->describe(NativePath::visible(definitionsPath)),
                       definitionsPath);
    }

    RunSettings settings;
    settings.names = parser.positionalArguments();
    settings.read.mailbox = parser.isSet(mboxOption);
    if (parser.isSet(emlOption))
        settings.read.format = MessageFormat::Eml;
    else if (parser.isSet(htmlOption))
        settings.read.format = MessageFormat::Html;
    settings.subject = parser.isSet(subjectOption) ? std::optional(parser.value(subjectOption)) : std::nullopt;
    settings.stepThrough = parser.isSet(stepOption);
    settings.format = *format;
    settings.jobs = jobs;
    settings.failOn = failOn;
    settings.quiet = parser.isSet(quietOption);
    settings.summary = !parser.isSet(noSummaryOption);
    settings.definitionsPath = definitionsPath;
    return rate(settings, std::move(definitions.table));
}

std::optional<ReportFormat> ScanCommand::formatOf(bool json, const QString& name)
{
    if (json)
        return name.isEmpty() || name == u"json" ? std::optional(ReportFormat::Json) : std::nullopt;
    if (name.isEmpty() || name == u"text")
        return ReportFormat::Text;
    if (name == u"json")
        return ReportFormat::Json;
    if (name == u"gcc")
        return ReportFormat::Gcc;
    if (name == u"sarif")
        return ReportFormat::Sarif;
    return std::nullopt;
}

int ScanCommand::rate(const RunSettings& settings, PhraseTable table)
{
    ScanSession session(m_locale);
    const qsizetype phrasesLoaded = table.hasPhrases() ? table.size() : 0;
    session.setDefinitions(std::move(table));

    // A run of one file (or standard input) that holds one message reports as a single message always has.
    const bool oneInput = settings.names.size() <= 1
        && (settings.names.isEmpty() || settings.names.constFirst() == u'-'
            || !NativePath::isFolder(settings.names.constFirst()));
    const std::unique_ptr<ReportWriter> writer = ReportWriter::create(settings.format, m_out);
    MessageFeed feed(settings.names, settings.read, m_standardInput);
    ParallelReader reader(settings.jobs);
    // Enough messages under way to keep every thread busy, and no more, whatever the number of messages;
    // each holds its file open, so they stay well below the usual limit of 1024 open files.
    const qsizetype window = std::min<qsizetype>(qsizetype(settings.jobs) * 16, 256);
    ProgressLine progress(m_err, m_progressShown, m_locale);
    RunTally tally;
    qsizetype taken = 0;
    int faultStatus = 0;
    int worstVerdict = ExitPass;
    bool anyAlone = false;

    for (;;) {
        while (reader.pending() < window) {
            std::optional<MessageFeed::Work> work = feed.next();
            if (!work)
                break;
            reader.start(std::move(*work));
        }
        if (reader.pending() == 0)
            break;
        ReadMessage read = reader.takeOldest();
        const bool first = taken++ == 0;
        const bool alone = oneInput && read.number == 0 && first;
        anyAlone = anyAlone || alone;
        if (!read.note.isEmpty()) {
            m_err << read.note << '\n';
            continue;
        }

        QList<Occurrence> occurrences;
        PressOutcome outcome;
        if (read.faultStatus == 0) {
            const MessageText& text = read.message.text;
            // Subjects of saved e-mails are their own; a text file has none, and --subject replaces a title.
            QString subject = text.partUsed.isEmpty() && settings.subject ? *settings.subject : text.subject;
            subject.truncate(ScanSession::SubjectWidth);
            do {
                outcome = session.press(subject, text.body, settings.stepThrough, &occurrences);
            } while (outcome.kind == PressOutcome::Kind::Stopped);
            if (outcome.kind == PressOutcome::Kind::EmptyInput) {
                read.faultStatus = alone ? ExitUsage : ExitDataError;
                read.fault = alone
                    ? Captions::EmptyInputPrompt + QString::fromUtf8(AppIdentity::Title)
                    : QStringLiteral("Nothing to rate in %1: it holds no text.").arg(NativePath::visible(read.name()));
            }
        }
        if (read.faultStatus != 0) {
            fail(read.faultStatus, read.fault);
            ++tally.unreadable;
            faultStatus = faultStatus ? faultStatus : read.faultStatus;
            if (!settings.quiet)
                writer->writeFault(read);
        } else {
            const QString& verdict = session.results().passFail();
            tally.pass += verdict == Captions::Pass;
            tally.questionable += verdict == Captions::Questionable;
            tally.fail += verdict != Captions::Pass && verdict != Captions::Questionable;
            worstVerdict = std::max(worstVerdict, exitStatusFor(verdict));
            if (!settings.quiet) {
                const ScanReport report {session.results(),        occurrences,   settings.stepThrough,
                                         settings.definitionsPath, phrasesLoaded, read.message.text.partUsed};
                writer->write(RatedMessage {read, report, session.phrases(), alone});
            }
        }
        progress.update(taken, feed.total());
    }
    progress.clear();
    if (!settings.quiet)
        writer->finish(tally);
    // A single message's report stands alone, as it always has; --quiet asks for the summary instead.
    if (settings.summary && (!anyAlone || settings.quiet)) {
        // Machine-read formats keep their output clean; their summary goes with the messages on standard error.
        QTextStream& summaryStream = settings.format == ReportFormat::Text ? m_out : m_err;
        summaryStream << tally.summary(m_locale) << '\n';
        summaryStream.flush();
    }
    return finishOutput(faultStatus ? faultStatus : exitStatusFor(worstVerdict, settings.failOn));
}

int ScanCommand::finishOutput(int status)
{
    m_out.flush();
    if (m_out.status() != QTextStream::Ok) {
        const QString reason = m_out.device() ? m_out.device()->errorString() : QStringLiteral("the stream failed");
        return fail(ExitIoError, QStringLiteral("Cannot write the results: %1").arg(reason));
    }
    return status;
}

int ScanCommand::failRun(ReportFormat format, int status, const QString& sentence, const QString& file)
{
    fail(status, sentence);
    ReadMessage fault;
    fault.file = file;
    fault.faultStatus = status;
    fault.fault = sentence;
    const std::unique_ptr<ReportWriter> writer = ReportWriter::create(format, m_out);
    writer->writeFault(fault);
    writer->finish({});
    return finishOutput(status);
}
