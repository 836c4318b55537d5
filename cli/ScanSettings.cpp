#include "cli/ScanSettings.h"

#include "messagefile/MessageFile.h"
#include "platform/AppIdentity.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QThread>

#include <algorithm>

namespace {

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

std::optional<ReportFormat> formatOf(bool json, const QString& name)
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

std::optional<FailOn> failOnOf(const QString& name)
{
    if (name.isEmpty() || name == u"questionable")
        return FailOn::Questionable;
    if (name == u"fail")
        return FailOn::Fail;
    if (name == u"never")
        return FailOn::Never;
    return std::nullopt;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments)
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
        return UsageError {parser.errorText()
                               + QStringLiteral("\nTry '%1 --help'.").arg(QCoreApplication::applicationName()),
                           std::nullopt};
    }
    // The parser lists --help-all beside --help; without options of Qt's own to add, both print the same.
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all")))
        return ShownText {parser.helpText()};
    if (parser.isSet(versionOption))
        return ShownText {QCoreApplication::applicationName() + u' ' + QString::fromLatin1(AppIdentity::Version)
                          + u'\n'};
    if (parser.values(formatOption).size() > 1)
        return UsageError {QStringLiteral("--format can be given only once."), std::nullopt};
    const std::optional<ReportFormat> format = formatOf(parser.isSet(jsonOption), parser.value(formatOption));
    if (!format)
        return UsageError {QStringLiteral("--format takes text, json, gcc or sarif, and --json only json."),
                           std::nullopt};

    ScanSettings settings;
    settings.format = *format;
    settings.quiet = parser.isSet(quietOption);
    // From here on, the formats that programs read tell of a fault too, unless only the summary is asked for.
    const auto usageError = [&settings](const QString& message) {
        return UsageError {message, settings.faultFormat()};
    };
    for (const QCommandLineOption& option : {subjectOption, definitionsOption, jobsOption, failOnOption}) {
        if (parser.values(option).size() > 1)
            return usageError(QStringLiteral("--%1 can be given only once.").arg(option.names().constLast()));
    }
    if (int(parser.isSet(emlOption)) + int(parser.isSet(htmlOption)) + int(parser.isSet(mboxOption)) > 1)
        return usageError(QStringLiteral("Only one of --eml, --html and --mbox can be given."));
    for (const QCommandLineOption& option : {emlOption, mboxOption}) {
        if (parser.isSet(option) && parser.isSet(subjectOption)) {
            return usageError(QStringLiteral("--%1 takes subject and body from the message; it cannot be "
                                             "combined with --subject.")
                                  .arg(option.names().constLast()));
        }
    }
    for (const QCommandLineOption& option : {emlOption, htmlOption, mboxOption}) {
        if (parser.isSet(option) && !readsMailFiles()) {
            return usageError(QStringLiteral("--%1: this build of tallyvex-scan reads text files only, not "
                                             "saved e-mails, mailboxes or HTML pages.")
                                  .arg(option.names().constLast()));
        }
    }
    bool jobsValid = true;
    settings.jobs = parser.isSet(jobsOption) ? parser.value(jobsOption).toInt(&jobsValid)
                                             : std::max(1, QThread::idealThreadCount());
    if (!jobsValid || settings.jobs < 1 || settings.jobs > MaxJobs)
        return usageError(QStringLiteral("--jobs takes a number of threads from 1 to %1.").arg(MaxJobs));
    const std::optional<FailOn> failOn = failOnOf(parser.value(failOnOption));
    if (!failOn)
        return usageError(QStringLiteral("--fail-on takes questionable, fail or never."));

    settings.names = parser.positionalArguments();
    settings.read.mailbox = parser.isSet(mboxOption);
    if (parser.isSet(emlOption))
        settings.read.format = MessageFormat::Eml;
    else if (parser.isSet(htmlOption))
        settings.read.format = MessageFormat::Html;
    settings.subject = parser.isSet(subjectOption) ? std::optional(parser.value(subjectOption)) : std::nullopt;
    settings.stepThrough = parser.isSet(stepOption);
    settings.failOn = *failOn;
    settings.summary = !parser.isSet(noSummaryOption);
    if (parser.isSet(definitionsOption))
        settings.definitionsPath = parser.value(definitionsOption);
    return settings;
}
