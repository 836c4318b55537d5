#include "cli/ScanCommand.h"

#include "cli/ScanReport.h"
#include "messagefile/EmlMessage.h"
#include "messagefile/MessageFile.h"
#include "platform/AppIdentity.h"
#include "scanner/Captions.h"
#include "scanner/DefinitionsLoader.h"
#include "scanner/InputFile.h"
#include "scanner/TextDecoding.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QIODevice>
#include <QJsonDocument>
#include <QTextStream>

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

// A message or body too large to read is refused like one that cannot be opened.
int exitStatusFor(const InputFile::Fault& fault)
{
    return fault.kind == InputFile::Fault::Kind::ReadFailed ? ScanCommand::ExitIoError : ScanCommand::ExitNoInput;
}

int exitStatusFor(const QString& verdict)
{
    if (verdict == Captions::Pass)
        return ScanCommand::ExitPass;
    if (verdict == Captions::Questionable)
        return ScanCommand::ExitQuestionable;
    return ScanCommand::ExitFail;
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
        QStringLiteral("Rates the subject and body of an e-mail for the phrases that spam filters react to.\n"
                       "Exit status: 0 Pass, 1 Questionable, 2 Fail, 64 usage or empty message, "
                       "65 definitions fault or malformed message, 66 a file cannot be opened or is too "
                       "large, 74 reading or writing failed.\n"
                       "Limits: a definitions file of at most 64 MiB, a body or message of at most 256 MiB."));
    const QCommandLineOption subjectOption({QStringLiteral("s"), QStringLiteral("subject")},
                                           QStringLiteral("The subject line (at most 120 characters are used)."),
                                           QStringLiteral("TEXT"));
    const QCommandLineOption definitionsOption({QStringLiteral("d"), QStringLiteral("definitions")},
                                               QStringLiteral("The definitions file (default: Definitions.dat "
                                                              "beside the program, else "
                                                              "../share/tallyvex/Definitions.dat relative to it)."),
                                               QStringLiteral("FILE"));
    const QCommandLineOption stepOption(QStringLiteral("step"),
                                        QStringLiteral("Step Through: stop at every occurrence, press after press, "
                                                       "and list every stop."));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QStringLiteral("Print the results as one JSON object."));
    const QCommandLineOption emlOption(QStringLiteral("eml"),
                                       QStringLiteral("Take subject and body from a saved e-mail (.eml); '-' reads "
                                                      "standard input. A malformed message exits with status 65."),
                                       QStringLiteral("FILE"));
    parser.addOptions({subjectOption, definitionsOption, stepOption, jsonOption, emlOption});
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("BODY_FILE"),
                                 QStringLiteral("The message body, UTF-8; '-' or nothing reads standard input."),
                                 QStringLiteral("[BODY_FILE | -]"));

    if (!parser.parse(arguments)) {
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
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return fail(ExitUsage, QStringLiteral("Only one body file can be scanned at a time."));
    for (const QCommandLineOption& option : {subjectOption, definitionsOption, emlOption}) {
        if (parser.values(option).size() > 1)
            return fail(ExitUsage, QStringLiteral("--%1 can be given only once.").arg(option.names().constLast()));
    }
    const bool fromEml = parser.isSet(emlOption);
    if (fromEml && (parser.isSet(subjectOption) || !positional.isEmpty())) {
        return fail(ExitUsage,
                    QStringLiteral("--eml takes subject and body from the message; it cannot be "
                                   "combined with --subject or a body file."));
    }

    QString definitionsPath = parser.value(definitionsOption);
    if (!parser.isSet(definitionsOption)) {
        QStringList tried;
        definitionsPath = findDefinitions(QCoreApplication::applicationDirPath(), &tried);
        if (definitionsPath.isEmpty())
            return fail(ExitNoInput, describeMissingDefinitions(tried));
    }
    LoadedDefinitions definitions = loadDefinitionsFile(definitionsPath, m_locale, InputFile::Accept::FilesAndStreams);
    if (definitions.fault) {
        return fail(exitStatusFor(*definitions.fault),
                    QStringLiteral("Cannot use the definitions: ") + definitions.fault->describe(definitionsPath));
    }

    const QString source = fromEml ? parser.value(emlOption) : positional.value(0, QStringLiteral("-"));
    const bool fromStdin = source == u'-';
    const InputFile::Contents input = fromStdin
        ? m_standardInput(InputFile::MaxMessageBytes)
        : InputFile::read(source, InputFile::MaxMessageBytes, InputFile::Accept::FilesAndStreams);
    if (input.fault) {
        const QString name = fromStdin ? QStringLiteral("standard input")
            : source.isEmpty()         ? QStringLiteral("\"\"")
                                       : source;
        return fail(exitStatusFor(*input.fault), QStringLiteral("Cannot read %1: %2").arg(name, input.fault->reason));
    }
    QString subject = parser.value(subjectOption);
    QString message;
    QString messagePart;
    if (fromEml) {
        const MessageText eml = readEmlMessage(input.bytes);
        if (!eml.isValid())
            return fail(ExitDataError, QStringLiteral("Cannot read the message %1: %2").arg(source, eml.error));
        subject = eml.subject;
        message = eml.body;
        messagePart = eml.partUsed;
    } else {
        message = readMessage(input.bytes, MessageFormat::Text).body;
    }
    subject.truncate(ScanSession::SubjectWidth);

    ScanSession session(m_locale);
    const qsizetype phrasesLoaded = definitions.table.hasPhrases() ? definitions.table.size() : 0;
    session.setDefinitions(std::move(definitions.table));
    const bool step = parser.isSet(stepOption);

    QList<Occurrence> occurrences;
    PressOutcome outcome;
    do {
        outcome = session.press(subject, message, step, &occurrences);
    } while (outcome.kind == PressOutcome::Kind::Stopped);

    if (outcome.kind == PressOutcome::Kind::EmptyInput)
        return fail(ExitUsage, Captions::EmptyInputPrompt + QString::fromUtf8(AppIdentity::Title));

    const ScanReport report {session.results(), occurrences, step, definitionsPath, phrasesLoaded, messagePart};
    if (parser.isSet(jsonOption))
        m_out << QJsonDocument(report.toJson()).toJson(QJsonDocument::Indented);
    else
        m_out << report.toText();
    m_out.flush();
    if (m_out.status() != QTextStream::Ok) {
        const QString reason = m_out.device() ? m_out.device()->errorString() : QStringLiteral("the stream failed");
        return fail(ExitIoError, QStringLiteral("Cannot write the results: %1").arg(reason));
    }
    return exitStatusFor(session.results().passFail());
}
