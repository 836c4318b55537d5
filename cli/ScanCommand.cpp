#include "ScanCommand.h"

#include "AppIdentity.h"
#include "Captions.h"
#include "DefinitionsLoader.h"
#include "EmlMessage.h"
#include "ScanReport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <QTextStream>

#include <optional>

namespace {

// The body as the body box would hold it after a paste: UTF-8, line breaks as LF.
QString bodyText(const QByteArray& bytes)
{
    QString text = QString::fromUtf8(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

std::optional<QByteArray> readAll(const QString& source, QString* error)
{
    const bool fromStdin = source == u'-';
    QFile file(fromStdin ? QString() : source);
    const bool opened = fromStdin ? file.open(stdin, QIODevice::ReadOnly) : file.open(QIODevice::ReadOnly);
    if (!opened) {
        *error = file.errorString();
        return std::nullopt;
    }
    return file.readAll();
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

ScanCommand::ScanCommand(QTextStream& out, QTextStream& err)
    : m_out(out)
    , m_err(err)
{
}

int ScanCommand::run(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Rates the subject and body of an e-mail for the phrases that spam filters react to.\n"
                       "Exit status: 0 Pass, 1 Questionable, 2 Fail, 64 usage or empty message, "
                       "65 definitions fault or malformed message, 66 a file cannot be opened."));
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
        m_err << parser.errorText() << "\nTry '" << QCoreApplication::applicationName() << " --help'.\n";
        return ExitUsage;
    }
    if (parser.isSet(helpOption)) {
        m_out << parser.helpText();
        return ExitPass;
    }
    if (parser.isSet(versionOption)) {
        m_out << QCoreApplication::applicationName() << ' ' << AppIdentity::Version << '\n';
        return ExitPass;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        m_err << "Only one body file can be scanned at a time.\n";
        return ExitUsage;
    }
    const bool fromEml = parser.isSet(emlOption);
    if (fromEml && (parser.isSet(subjectOption) || !positional.isEmpty())) {
        m_err << "--eml takes subject and body from the message; it cannot be combined with --subject or a "
                 "body file.\n";
        return ExitUsage;
    }

    QString definitionsPath = parser.value(definitionsOption);
    if (!parser.isSet(definitionsOption)) {
        QStringList tried;
        definitionsPath = findDefinitions(QCoreApplication::applicationDirPath(), &tried);
        if (definitionsPath.isEmpty()) {
            m_err << describeMissingDefinitions(tried) << '\n';
            return ExitNoInput;
        }
    }
    LoadedDefinitions definitions = loadDefinitionsFile(definitionsPath);
    if (definitions.fault) {
        m_err << "Cannot use the definitions: " << definitions.fault->describe(definitionsPath) << '\n';
        return definitions.fault->line == 0 ? ExitNoInput : ExitDataError;
    }

    const QString source = fromEml ? parser.value(emlOption) : positional.value(0, QStringLiteral("-"));
    QString readError;
    const std::optional<QByteArray> input = readAll(source, &readError);
    if (!input) {
        m_err << "Cannot read " << source << ": " << readError << '\n';
        return ExitNoInput;
    }
    QString subject = parser.value(subjectOption);
    QString message;
    QString messagePart;
    if (fromEml) {
        const EmlMessage eml = readEmlMessage(*input);
        if (!eml.isValid()) {
            m_err << "Cannot read the message " << source << ": " << eml.error << '\n';
            return ExitDataError;
        }
        subject = eml.subject;
        message = eml.body;
        messagePart = eml.partUsed;
    } else {
        message = bodyText(*input);
    }
    subject.truncate(ScanSession::SubjectWidth);

    ScanSession session;
    const qsizetype phrasesLoaded = definitions.table.hasPhrases() ? definitions.table.size() : 0;
    session.setDefinitions(std::move(definitions.table));
    const bool step = parser.isSet(stepOption);

    QList<Occurrence> occurrences;
    PressOutcome outcome;
    do {
        outcome = session.press(subject, message, step, &occurrences);
    } while (outcome.kind == PressOutcome::Kind::Stopped);

    if (outcome.kind == PressOutcome::Kind::EmptyInput) {
        m_err << Captions::EmptyInputPrompt << AppIdentity::Title << '\n';
        return ExitUsage;
    }

    const ScanReport report {session.results(), occurrences, step, definitionsPath, phrasesLoaded, messagePart};
    if (parser.isSet(jsonOption))
        m_out << QJsonDocument(report.toJson()).toJson(QJsonDocument::Indented);
    else
        m_out << report.toText();
    return exitStatusFor(session.results().passFail());
}
