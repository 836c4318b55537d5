#include "mainwindow/PhraseHighlighter.h"

#include "mainwindow/BodyTextBox.h"
#include "mainwindow/WavyUnderline.h"
#include "scanner/PhraseToolTip.h"
#include "scanner/WeightBand.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QLineEdit>

#include <algorithm>

namespace {

QTextCharFormat bandStyle(QTextCharFormat::UnderlineStyle style, const QColor& colour)
{
    QTextCharFormat format;
    format.setUnderlineStyle(style);
    format.setUnderlineColor(colour);
    return format;
}

} // namespace

// Dark enough to read on the white panel; the heavier the phrase, the redder and the bolder the line, and
// the heaviest are tinted as well.
QList<QTextCharFormat> PhraseHighlighter::bandStyles()
{
    QTextCharFormat heavy = WavyUnderline::format(QColor(0xc8, 0x00, 0x00));
    heavy.setBackground(QColor(0xff, 0xe4, 0xe4));
    return {bandStyle(QTextCharFormat::DotLine, QColor(0x9a, 0x7b, 0x00)),
            bandStyle(QTextCharFormat::DashUnderline, QColor(0xc4, 0x5a, 0x00)), heavy};
}

PhraseHighlighter::PhraseHighlighter(QLineEdit* subject,
                                     BodyTextBox* body,
                                     std::function<const QString&()> bodyText,
                                     const QLocale& locale,
                                     QObject* parent)
    : QObject(parent)
    , m_subject(subject)
    , m_body(body)
    , m_bodyText(std::move(bodyText))
    , m_numbers(locale)
    , m_styles(bandStyles())
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(RestMilliseconds);
    connect(&m_timer, &QTimer::timeout, this, &PhraseHighlighter::refresh);
    m_subject->installEventFilter(this);
}

bool PhraseHighlighter::eventFilter(QObject* watched, QEvent* event)
{
    // The input method's own event replaces the formats laid over the subject.
    if (watched == m_subject && event->type() == QEvent::InputMethod && !m_markingSubject) {
        m_composing = !static_cast<QInputMethodEvent*>(event)->preeditString().isEmpty();
        m_subjectMarks.clear();
    }
    return QObject::eventFilter(watched, event);
}

PhraseHighlighter::~PhraseHighlighter() = default;

void PhraseHighlighter::setPhrases(std::shared_ptr<const PhraseIndex> index)
{
    m_table = index->table();
    m_finder.emplace(std::move(index));
    textChanged();
}

void PhraseHighlighter::setEnabled(bool enabled)
{
    m_enabled = enabled;
    if (enabled) {
        refresh();
        return;
    }
    m_timer.stop();
    markSubject({});
    m_body->setMarks({}, m_styles);
}

void PhraseHighlighter::textChanged()
{
    m_stale = true;
    // Marks laid over the subject keep their places, so after an edit they would stand beside their words.
    if (!m_subjectMarks.empty())
        markSubject({});
    if (m_enabled)
        m_timer.start();
}

void PhraseHighlighter::refresh()
{
    m_timer.stop();
    findOccurrences();
    if (m_enabled)
        showMarks();
}

void PhraseHighlighter::findOccurrences()
{
    if (!m_stale || !m_finder)
        return;
    const QString subject = m_subject->text();
    m_subjectLength = ScanText::boxSubject(subject).size();
    ScanText::write(m_scanText, subject, m_bodyText());
    m_occurrences = m_finder->findAll(m_scanText);
    m_stale = false;
}

// An occurrence that spans the end of the subject shows in both boxes; the padding between them shows nowhere.
void PhraseHighlighter::showMarks()
{
    std::vector<TextMark> subject;
    std::vector<TextMark> body;
    for (const Occurrence& occurrence : m_occurrences) {
        const int style = int(weightBandOf(m_table.at(occurrence.phraseIndex).weight));
        const qsizetype begin = occurrence.offset();
        const qsizetype end = begin + occurrence.length;
        if (begin < m_subjectLength)
            subject.push_back({begin, std::min(end, m_subjectLength) - begin, style});
        if (end > ScanText::SubjectWidth) {
            const qsizetype start = std::max(begin, ScanText::SubjectWidth);
            body.push_back({ScanText::offsetInPane(start), end - start, style});
        }
    }
    markSubject(std::move(subject));
    m_body->setMarks(std::move(body), m_styles);
}

// A line edit shows extra formats only as those of text being composed; an input method event with
// formats and no text lays them over its text and changes nothing else. Their places count from the caret.
void PhraseHighlighter::markSubject(std::vector<TextMark> marks)
{
    if (m_composing)
        return;
    std::stable_sort(marks.begin(), marks.end(),
                     [](const TextMark& a, const TextMark& b) { return a.style < b.style; });
    const int caret = m_subject->cursorPosition();
    QList<QInputMethodEvent::Attribute> attributes;
    for (const TextMark& mark : marks)
        attributes.append(
            {QInputMethodEvent::TextFormat, int(mark.start) - caret, int(mark.length), m_styles.at(mark.style)});
    QInputMethodEvent event(QString(), attributes);
    m_markingSubject = true;
    QCoreApplication::sendEvent(m_subject, &event);
    m_markingSubject = false;
    std::sort(marks.begin(), marks.end(), [](const TextMark& a, const TextMark& b) { return a.start < b.start; });
    m_subjectMarks = std::move(marks);
}

QString PhraseHighlighter::toolTipAt(Pane pane, qsizetype offset)
{
    if (!m_enabled)
        return {};
    findOccurrences();
    if (pane == Pane::Subject && offset >= m_subjectLength)
        return {};
    return PhraseToolTip::aboutOccurrencesAt(m_table, m_occurrences, ScanText::offsetIn(pane, offset), m_numbers);
}

QString PhraseHighlighter::toolTipForPhrase(const QString& phrase)
{
    const auto entry = std::find_if(m_table.begin(), m_table.end(), [&phrase](const TriggerPhrase& p) {
        return !phrase.isEmpty() && p.phrase == phrase;
    });
    if (entry == m_table.end())
        return {};
    findOccurrences();
    return PhraseToolTip::aboutPhraseIn(m_table, m_occurrences, entry - m_table.begin(), m_numbers);
}

std::optional<Occurrence> PhraseHighlighter::replaceableAt(Pane pane, qsizetype offset)
{
    if (!m_enabled)
        return std::nullopt;
    findOccurrences();
    const qsizetype paneLength = pane == Pane::Subject ? m_subjectLength : m_bodyText().size();
    if (offset < 0 || offset >= paneLength)
        return std::nullopt;
    const qsizetype at = ScanText::offsetIn(pane, offset);
    std::optional<Occurrence> longest;
    for (const Occurrence& occurrence : m_occurrences) {
        if (occurrence.offset() > at)
            break;
        const bool covers = occurrence.offset() + occurrence.length > at;
        if (covers && occurrence.pane == pane && occurrence.start + occurrence.length <= paneLength
            && !m_table.at(occurrence.phraseIndex).alternatives.isEmpty()
            && (!longest || occurrence.length > longest->length))
            longest = occurrence;
    }
    return longest;
}
