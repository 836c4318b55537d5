#include "lsp/DocumentRater.h"

#include "lsp/SourceOffsets.h"
#include "messagefile/MessageFile.h"
#include "scanner/CaptionNumbers.h"
#include "scanner/DefinitionsLoader.h"
#include "scanner/PhraseOccurrences.h"
#include "scanner/PhraseToolTip.h"
#include "scanner/ScanSession.h"
#include "scanner/ScanText.h"
#include "scanner/WordingCase.h"

#include <QStringList>

#include <algorithm>

namespace {

LocatedMessage readDocument(const QString& text, MessageFormat kind)
{
    if (kind == MessageFormat::Text) {
        // The body box's text: the document with LF line ends.
        LocatedMessage located;
        located.text.body = withLineFeeds(text);
        return located;
    }
    return readLocatedMessage(text.toUtf8(), kind);
}

// Where the occurrences found in a message's scan text stand in the document the message was read from. Places
// are best asked for in the order of the scan text.
class DocumentPlaces
{
public:
    DocumentPlaces(const QString& document, MessageFormat kind, const LocatedMessage& message)
        : m_document(document)
        , m_kind(kind)
        , m_message(message)
        , m_offsets(document)
    {
    }

    // The stretch of the document that the scan text's units from `start` (0-based) hold.
    std::optional<TextRange> rangeOf(qsizetype start, qsizetype length)
    {
        if (ScanText::paneAt(start) == Pane::Subject) {
            const std::optional<qsizetype> subject = subjectStart();
            if (!subject || start + length > m_message.text.subject.size())
                return std::nullopt;
            return TextRange {*subject + start, *subject + start + length};
        }
        const qsizetype bodyStart = ScanText::offsetInPane(start);
        switch (m_kind) {
        case MessageFormat::Text:
            return TextRange {m_offsets.fromLineFeedText(bodyStart), m_offsets.fromLineFeedText(bodyStart + length)};
        case MessageFormat::Html:
            return pageRange(bodyStart, length);
        case MessageFormat::Eml:
            break;
        }
        return decodedBodyRange(bodyStart, length);
    }

    // Where an occurrence that has no stretch of the document stands in the message read from it.
    QString whereRead(qsizetype start)
    {
        if (ScanText::paneAt(start) == Pane::Subject)
            return QStringLiteral("in the subject");
        // Lines are counted on from the occurrence asked about before.
        const qsizetype bodyStart = ScanText::offsetInPane(start);
        if (bodyStart < m_linesCountedTo) {
            m_linesCountedTo = 0;
            m_linesBefore = 0;
        }
        m_linesBefore
            += QStringView(m_message.text.body).sliced(m_linesCountedTo, bodyStart - m_linesCountedTo).count(u'\n');
        m_linesCountedTo = bodyStart;
        return QStringLiteral("on line %1 of the decoded body").arg(m_linesBefore + 1);
    }

private:
    // The subject stands in the document where its text does unchanged: at the title of a page or in the
    // Subject header's line of a saved e-mail.
    std::optional<qsizetype> subjectStart()
    {
        if (m_subjectSought)
            return m_subjectStart;
        m_subjectSought = true;
        const QString& subject = m_message.text.subject;
        const TextPosition place = m_message.places.subject();
        const std::optional<qsizetype> placeStart = m_offsets.fromLineAndColumn(place.line, place.column);
        if (subject.isEmpty() || !placeStart)
            return std::nullopt;
        if (m_kind == MessageFormat::Eml) {
            qsizetype lineEnd = m_document.indexOf(u'\n', *placeStart);
            lineEnd = lineEnd < 0 ? m_document.size() : lineEnd;
            const qsizetype found = QStringView(m_document).sliced(*placeStart, lineEnd - *placeStart).indexOf(subject);
            if (found >= 0)
                m_subjectStart = *placeStart + found;
        } else if (QStringView(m_document).sliced(*placeStart).startsWith(subject)) {
            m_subjectStart = placeStart;
        }
        return m_subjectStart;
    }

    // A page's text has the place of each of its units: the phrase runs from its first unit's place to just
    // after its last unit's.
    std::optional<TextRange> pageRange(qsizetype start, qsizetype length)
    {
        const TextPosition first = m_message.places.body(start);
        const TextPosition last = m_message.places.body(start + length - 1);
        const std::optional<qsizetype> from = m_offsets.fromLineAndColumn(first.line, first.column);
        const std::optional<qsizetype> to = m_offsets.fromLineAndColumn(last.line, last.column);
        if (!from || !to)
            return std::nullopt;
        return TextRange {*from, m_offsets.afterCharacter(std::max(*from, *to))};
    }

    // A line of a saved e-mail's decoded body points into the file where the file holds it unchanged.
    std::optional<TextRange> decodedBodyRange(qsizetype start, qsizetype length)
    {
        const QString& body = m_message.text.body;
        const qsizetype lineStart = start == 0 ? 0 : body.lastIndexOf(u'\n', start - 1) + 1;
        qsizetype lineEnd = body.indexOf(u'\n', start);
        lineEnd = lineEnd < 0 ? body.size() : lineEnd;
        if (start + length > lineEnd)
            return std::nullopt;
        if (lineStart != m_lineStart) {
            m_lineStart = lineStart;
            m_lineFound = m_offsets.nextDecodedLine(QStringView(body).sliced(lineStart, lineEnd - lineStart));
        }
        if (!m_lineFound)
            return std::nullopt;
        const qsizetype at = *m_lineFound + start - lineStart;
        return TextRange {at, at + length};
    }

    const QString& m_document;
    MessageFormat m_kind;
    const LocatedMessage& m_message;
    SourceOffsets m_offsets;
    bool m_subjectSought = false;
    std::optional<qsizetype> m_subjectStart;
    // The decoded body's line looked for last, and where the document holds it.
    qsizetype m_lineStart = -1;
    std::optional<qsizetype> m_lineFound;
    // The line breaks of the decoded body before m_linesCountedTo.
    qsizetype m_linesCountedTo = 0;
    qsizetype m_linesBefore = 0;
};

} // namespace

struct DocumentRater::Engine
{
    Engine(const QLocale& locale, const QString& programFolder)
        : programFolder(programFolder)
        , numbers(locale)
        , session(locale)
        , finder(std::make_shared<const PhraseIndex>(PhraseTable {}))
    {
        session.keepOccurrences(true);
    }

    QString programFolder;
    CaptionNumbers numbers;
    bool loaded = false;
    // Why no definitions are in use, until some are.
    QString unusable = QStringLiteral("No definitions are loaded.");
    PhraseTable table;
    ScanSession session;
    PhraseOccurrences finder;
};

DocumentRater::DocumentRater(const QLocale& locale, const QString& programFolder)
    : m_engine(std::make_unique<Engine>(locale, programFolder))
{
}

DocumentRater::~DocumentRater() = default;

QString DocumentRater::useDefinitions(const QString& path)
{
    Engine& engine = *m_engine;
    const QString fault = loadDefinitions(path);
    if (!fault.isEmpty() && !engine.loaded)
        engine.unusable = fault;
    return fault;
}

QString DocumentRater::loadDefinitions(const QString& path)
{
    Engine& engine = *m_engine;
    LoadedDefinitions definitions = ::loadDefinitions(path.isEmpty() ? std::nullopt : std::optional(path),
                                                      engine.programFolder, engine.numbers.locale());
    if (const std::optional<DefinitionsFault>& fault = definitions.fault) {
        if (fault->cause == DefinitionsFault::Cause::NotFound)
            return fault->reason;
        return QStringLiteral("Cannot use the definitions: ") + fault->describe(definitions.path);
    }
    const auto index = std::make_shared<const PhraseIndex>(std::move(definitions.table));
    engine.table = index->table();
    engine.session.setDefinitions(index);
    engine.finder = PhraseOccurrences(index);
    engine.loaded = true;
    engine.unusable.clear();
    if (const std::optional<DefinitionsFault>& fault = definitions.alternativesFault)
        return QStringLiteral("Not all plainer wordings could be read: ")
            + fault->describe(definitions.alternativesPath);
    return {};
}

DocumentRating DocumentRater::rate(const QString& text, MessageFormat kind)
{
    Engine& engine = *m_engine;
    DocumentRating rating;
    const LocatedMessage message = readDocument(text, kind);
    rating.fault = engine.unusable.isEmpty() ? message.text.error : engine.unusable;
    if (!rating.fault.isEmpty())
        return rating;

    const QString subject = ScanText::boxSubject(message.text.subject);
    const PressOutcome press = engine.session.press(subject, message.text.body, false);
    if (press.kind == PressOutcome::Kind::EmptyInput) {
        rating.blank = true;
        return rating;
    }
    const ScanOutcome& outcome = engine.session.outcome();
    rating.verdict = *outcome.verdict;
    rating.score = engine.numbers.shownScore(outcome.score);
    rating.percent = engine.numbers.shownPercentage(outcome.percentage);

    std::vector<Occurrence> occurrences = outcome.occurrences;
    std::stable_sort(occurrences.begin(), occurrences.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.position < b.position; });
    DocumentPlaces places(text, kind, message);
    for (const Occurrence& occurrence : occurrences) {
        Finding finding;
        finding.phrase = occurrence.phrase;
        finding.band = weightBandOf(engine.table.at(occurrence.phraseIndex).weight);
        finding.inCapitals = occurrence.inCapitals;
        finding.weightAdded = engine.numbers.weight(occurrence.weightAdded);
        finding.wordings = WordingCase::forOccurrence(engine.table, occurrence, subject, message.text.body);
        finding.range = places.rangeOf(occurrence.offset(), occurrence.length);
        if (!finding.range)
            finding.whereRead = places.whereRead(occurrence.offset());
        rating.findings.push_back(std::move(finding));
    }
    return rating;
}

std::optional<Explanation>
DocumentRater::explainAt(const QString& text, MessageFormat kind, qsizetype offset, bool withLight)
{
    Engine& engine = *m_engine;
    const LocatedMessage message = readDocument(text, kind);
    if (!engine.unusable.isEmpty() || !message.text.isValid())
        return std::nullopt;
    const QString scanText = ScanText::of(ScanText::boxSubject(message.text.subject), message.text.body);
    const std::vector<Occurrence> occurrences = engine.finder.findAll(scanText);
    DocumentPlaces places(text, kind, message);
    std::optional<Explanation> explanation;
    for (const Occurrence& occurrence : occurrences) {
        if (!withLight && weightBandOf(engine.table.at(occurrence.phraseIndex).weight) == WeightBand::Light)
            continue;
        const std::optional<TextRange> range = places.rangeOf(occurrence.offset(), occurrence.length);
        if (!range || !range->covers(offset))
            continue;
        const QString about = PhraseToolTip::aboutOccurrence(engine.table, occurrences, occurrence, engine.numbers);
        if (explanation)
            explanation->text += PhraseToolTip::Separator.toString() + about;
        else
            explanation = Explanation {about, *range};
    }
    return explanation;
}

MessageFormat DocumentRater::kindOf(QStringView path, QStringView languageId)
{
    if (const std::optional<MessageFormat> format = messageFormatOf(path))
        return *format;
    static const QStringList pageLanguages {QStringLiteral("html"),       QStringLiteral("handlebars"),
                                            QStringLiteral("jinja-html"), QStringLiteral("htmldjango"),
                                            QStringLiteral("liquid"),     QStringLiteral("mjml")};
    if (pageLanguages.contains(languageId))
        return MessageFormat::Html;
    if (languageId == u"email" || languageId == u"eml" || languageId == u"mail")
        return MessageFormat::Eml;
    return MessageFormat::Text;
}
