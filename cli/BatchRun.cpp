#include "cli/BatchRun.h"

#include "cli/ExitStatus.h"
#include "cli/NativePath.h"
#include "cli/OrderedPool.h"
#include "cli/ProgressLine.h"
#include "cli/ReportWriterFactory.h"
#include "cli/RunTally.h"
#include "cli/StandardError.h"
#include "platform/AppIdentity.h"
#include "scanner/ScanSession.h"
#include "scanner/ScanText.h"

#include <QTextStream>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

BatchRun::BatchRun(const ScanSettings& settings,
                   QTextStream& out,
                   QTextStream& err,
                   const QLocale& locale,
                   MessageFeed::StandardInput standardInput)
    : m_settings(settings)
    , m_out(out)
    , m_err(err)
    , m_locale(locale)
    , m_standardInput(std::move(standardInput))
{
}

bool BatchRun::hasOneInput() const
{
    const QStringList& names = m_settings.names;
    return names.size() <= 1
        && (names.isEmpty() || names.constFirst() == u'-' || !NativePath::isFolder(names.constFirst()));
}

int BatchRun::exitStatusFor(Verdict worst) const
{
    switch (m_settings.failOn) {
    case FailOn::Never:
        return ExitStatus::Pass;
    case FailOn::Fail:
        return worst == Verdict::Fail ? ExitStatus::Fail : ExitStatus::Pass;
    case FailOn::Questionable:
        break;
    }
    return ExitStatus::of(worst);
}

namespace {

// One message as a thread read and rated it.
struct RatedWork
{
    ReadMessage read;
    // The subject as rated.
    QString subject;
    // None for a message that could not be read or holds nothing to rate.
    std::optional<ScanOutcome> outcome;
};

} // namespace

int BatchRun::rate(PhraseTable table, const QString& definitionsPath)
{
    const qsizetype phrasesLoaded = table.hasPhrases() ? table.size() : 0;
    // The phrases are indexed once; each thread rates with a session of its own over the shared index, made
    // when the thread rates its first message.
    const auto index = std::make_shared<const PhraseIndex>(std::move(table));
    std::vector<std::unique_ptr<ScanSession>> sessions(std::size_t(m_settings.jobs));
    const auto rateOn = [&](int thread, MessageFeed::Work& work) {
        RatedWork rated {work(), {}, {}};
        if (rated.read.faultStatus != 0 || !rated.read.note.isEmpty())
            return rated;
        std::unique_ptr<ScanSession>& session = sessions[std::size_t(thread)];
        if (!session) {
            session = std::make_unique<ScanSession>(m_locale);
            session->setDefinitions(index);
            // A run that writes no report needs neither the phrases found, nor the occurrences, nor their
            // places in the files.
            session->listPhrases(!m_settings.quiet);
            session->keepOccurrences(!m_settings.quiet);
        }
        const MessageText& text = rated.read.message.text;
        // Subjects of saved e-mails are their own; a text file has none, and --subject replaces a title.
        rated.subject
            = ScanText::boxSubject(text.partUsed.isEmpty() && m_settings.subject ? *m_settings.subject : text.subject);
        PressOutcome press;
        do {
            press = session->press(rated.subject, text.body, m_settings.stepThrough);
        } while (press.kind == PressOutcome::Kind::Stopped);
        if (press.kind != PressOutcome::Kind::EmptyInput)
            rated.outcome = session->outcome();
        return rated;
    };

    const bool oneInput = hasOneInput();
    const std::unique_ptr<ReportWriter> writer = ReportWriterFactory::create(
        m_settings.format, m_out, RunFacts {m_locale, m_settings.stepThrough, definitionsPath, phrasesLoaded});
    ReadOptions read = m_settings.read;
    read.places = !m_settings.quiet;
    MessageFeed feed(m_settings.names, read, m_standardInput);
    OrderedPool<RatedWork> pool(m_settings.jobs);
    // Enough messages under way to keep every thread busy, and no more, whatever the number of messages;
    // each holds its file open, so they stay well below the usual limit of 1024 open files.
    const qsizetype window = std::min<qsizetype>(qsizetype(m_settings.jobs) * 16, 256);
    ProgressLine progress(m_err, m_progressShown, m_locale);
    RunTally tally;
    qsizetype taken = 0;
    int faultStatus = 0;
    Verdict worst = Verdict::Pass;
    bool anyAlone = false;

    for (;;) {
        while (pool.pending() < window) {
            std::optional<MessageFeed::Work> work = feed.next();
            if (!work)
                break;
            pool.start([&rateOn, work = std::move(*work)](int thread) mutable { return rateOn(thread, work); });
        }
        if (pool.pending() == 0)
            break;
        RatedWork rated = pool.takeOldest();
        ReadMessage& read = rated.read;
        const bool first = taken++ == 0;
        // The run's one input holds this message alone: it is reported as a run of one message always has.
        const bool alone = oneInput && read.number == 0 && first;
        anyAlone = anyAlone || alone;
        if (!read.note.isEmpty()) {
            m_err << read.note << '\n';
            continue;
        }

        if (read.faultStatus == 0 && !rated.outcome) {
            read.faultStatus = alone ? ExitStatus::Usage : ExitStatus::DataError;
            read.fault = alone
                ? emptyInputMessage(QString::fromUtf8(AppIdentity::Title))
                : QStringLiteral("Nothing to rate in %1: it holds no text.").arg(NativePath::visible(read.name()));
        }
        if (read.faultStatus != 0) {
            tellOnStandardError(m_err, read.fault);
            tally.countUnreadable();
            faultStatus = faultStatus ? faultStatus : read.faultStatus;
            if (!m_settings.quiet)
                writer->writeFault(read);
        } else {
            const Verdict verdict = *rated.outcome->verdict;
            tally.count(verdict);
            worst = std::max(worst, verdict);
            if (!m_settings.quiet) {
                const RatedMessage message {read, *rated.outcome, index->table(), rated.subject};
                if (alone)
                    writer->writeSingle(message);
                else
                    writer->write(message);
            }
        }
        progress.update(taken, feed.total());
    }
    progress.clear();
    if (!m_settings.quiet)
        writer->finish();
    // A single message's report stands alone, as it always has; --quiet asks for the summary instead.
    if (m_settings.summary && (!anyAlone || m_settings.quiet)) {
        // Machine-read formats keep their output clean; their summary goes with the messages on standard error.
        QTextStream& summaryStream = m_settings.format == ReportFormat::Text ? m_out : m_err;
        summaryStream << tally.summary(m_locale) << '\n';
        summaryStream.flush();
    }
    return faultStatus ? faultStatus : exitStatusFor(worst);
}
