#include "cli/ScanCommand.h"

#include "cli/BatchRun.h"
#include "cli/ExitStatus.h"
#include "cli/NativePath.h"
#include "cli/ReportWriterFactory.h"
#include "cli/ScanSettings.h"
#include "cli/StandardError.h"
#include "scanner/DefinitionsLoader.h"

#include <QCoreApplication>
#include <QIODevice>
#include <QTextStream>

namespace {

int exitStatusFor(const DefinitionsFault& fault)
{
    switch (fault.cause) {
    case DefinitionsFault::Cause::NotFound:
    case DefinitionsFault::Cause::CannotOpen:
        return ExitStatus::NoInput;
    case DefinitionsFault::Cause::ReadFailed:
        return ExitStatus::IoError;
    case DefinitionsFault::Cause::Contents:
        break;
    }
    return ExitStatus::DataError;
}

} // namespace

ScanCommand::ScanCommand(QTextStream& out, QTextStream& err, const QLocale& locale, StandardInput standardInput)
    : m_out(out)
    , m_err(err)
    , m_locale(locale)
    , m_standardInput(std::move(standardInput))
{
}

int ScanCommand::run(const QStringList& arguments)
{
    const CommandLine commandLine = parseCommandLine(arguments);
    if (const auto* shown = std::get_if<ShownText>(&commandLine)) {
        m_out << shown->text;
        return ExitStatus::Pass;
    }
    if (const auto* error = std::get_if<UsageError>(&commandLine))
        return failUsage(*error);
    const ScanSettings& settings = std::get<ScanSettings>(commandLine);

    // The program's folder is looked up only when it is searched: a caller running the command in-process may
    // have no application object.
    const QString programFolder = settings.definitionsPath ? QString() : QCoreApplication::applicationDirPath();
    LoadedDefinitions definitions
        = loadDefinitions(settings.definitionsPath, programFolder, m_locale, InputFile::Accept::FilesAndStreams,
                          settings.reportsWordings() ? PlainerWordings::Read : PlainerWordings::Leave);
    if (const std::optional<DefinitionsFault>& fault = definitions.fault) {
        if (fault->cause == DefinitionsFault::Cause::NotFound)
            return failRun(settings.faultFormat(), exitStatusFor(*fault), fault->reason);
        return failRun(settings.faultFormat(), exitStatusFor(*fault),
                       QStringLiteral("Cannot use the definitions: ")
                           + fault->describe(NativePath::visible(definitions.path)),
                       definitions.path);
    }
    // The wordings are a help beside the rating: without those that could not be read the run goes on.
    if (const std::optional<DefinitionsFault>& fault = definitions.alternativesFault)
        tellOnStandardError(m_err,
                            QStringLiteral("Not all plainer wordings could be read: ")
                                + fault->describe(NativePath::visible(definitions.alternativesPath)));
    BatchRun run(settings, m_out, m_err, m_locale, m_standardInput);
    run.setProgressShown(m_progressShown);
    return finishOutput(run.rate(std::move(definitions.table), definitions.path));
}

int ScanCommand::failUsage(const UsageError& error)
{
    if (error.format)
        return failRun(*error.format, ExitStatus::Usage, error.message);
    tellOnStandardError(m_err, error.message);
    return ExitStatus::Usage;
}

int ScanCommand::finishOutput(int status)
{
    m_out.flush();
    if (m_out.status() != QTextStream::Ok) {
        const QString reason = m_out.device() ? m_out.device()->errorString() : QStringLiteral("the stream failed");
        tellOnStandardError(m_err, QStringLiteral("Cannot write the results: %1").arg(reason));
        return ExitStatus::IoError;
    }
    return status;
}

int ScanCommand::failRun(ReportFormat format, int status, const QString& sentence, const QString& file)
{
    tellOnStandardError(m_err, sentence);
    ReadMessage fault;
    fault.file = file;
    fault.faultStatus = status;
    fault.fault = sentence;
    const std::unique_ptr<ReportWriter> writer
        = ReportWriterFactory::create(format, m_out, RunFacts {m_locale, false, {}, 0});
    writer->writeFault(fault);
    writer->finish();
    return finishOutput(status);
}
