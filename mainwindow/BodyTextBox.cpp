#include "mainwindow/BodyTextBox.h"

#include "mainwindow/WavyUnderline.h"

#include <QAbstractUndoItem>
#include <QKeyEvent>
#include <QMimeData>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>

namespace {

// Set on a block that continues the line of the block before it, after a display break.
constexpr int ContinuesLine = QTextFormat::UserProperty + 1;

bool continuesLine(const QTextBlock& block)
{
    return block.blockFormat().boolProperty(ContinuesLine);
}

QTextBlockFormat blockFormat(QTextBlockFormat format, bool continuation)
{
    if (continuation)
        format.setProperty(ContinuesLine, true);
    else
        format.clearProperty(ContinuesLine);
    return format;
}

// The characters that QTextCursor::insertText() starts a new block at; "\r\n" counts as one.
bool isLineBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator || c == QChar(0xfdd0) || c == QChar(0xfdd1);
}

// Where to end a piece of a long line that starts at `start`: after the last space within the limit,
// else at the limit itself (never between the two halves of a surrogate pair).
qsizetype pieceEnd(QStringView line, qsizetype start)
{
    const qsizetype limit = start + BodyTextBox::DisplayLineLimit;
    if (limit >= line.size())
        return line.size();
    for (qsizetype i = limit; i > start + BodyTextBox::DisplayLineLimit / 2; --i) {
        if (line.at(i - 1).isSpace())
            return i;
    }
    return line.at(limit - 1).isHighSurrogate() ? limit - 1 : limit;
}

// Inserts text at the cursor, each line break as a block of its own, long lines in display pieces.
void insertWithDisplayBreaks(QTextCursor& cursor, QStringView text)
{
    const QTextBlockFormat base = cursor.blockFormat();
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = lineStart;
        while (lineEnd < text.size() && !isLineBreak(text.at(lineEnd)))
            ++lineEnd;
        const QStringView line = text.sliced(lineStart, lineEnd - lineStart);
        for (qsizetype start = 0; start < line.size();) {
            const qsizetype end = pieceEnd(line, start);
            if (start > 0)
                cursor.insertBlock(blockFormat(base, true));
            cursor.insertText(line.sliced(start, end - start).toString());
            start = end;
        }
        if (lineEnd == text.size())
            break;
        cursor.insertBlock(blockFormat(base, false));
        const bool crlf = text.at(lineEnd) == u'\r' && lineEnd + 1 < text.size() && text.at(lineEnd + 1) == u'\n';
        lineStart = lineEnd + (crlf ? 2 : 1);
    }
}

// Does nothing when undone or redone: it only ends an undo step.
class StepEnd : public QAbstractUndoItem
{
public:
    void undo() override { }
    void redo() override { }
};

} // namespace

BodyTextBox::BodyTextBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &BodyTextBox::markVisibleBlocks);
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { takeMarksOffEdit(position, added); });
}

// The text from one cursor position to another, without display breaks, converted as toPlainText() does.
// Blocks are walked by their lengths: asking a block for its position costs a search of the document.
QString BodyTextBox::textBetween(int from, int to) const
{
    QString text;
    text.reserve(std::max(to - from, 0));
    int position = 0;
    for (QTextBlock block = document()->begin(); block.isValid() && position <= to; block = block.next()) {
        const int blockEnd = position + block.length();
        if (blockEnd > from) {
            if (position > from && !continuesLine(block))
                text += u'\n';
            const int start = std::max(from, position) - position;
            const int end = std::min(to, blockEnd - 1) - position;
            text += QStringView(block.text()).sliced(start, end - start);
        }
        position = blockEnd;
    }
    for (QChar& c : text) {
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u'\n';
        else if (c == QChar::Nbsp)
            c = u' ';
    }
    return text;
}

QString BodyTextBox::text() const
{
    return textBetween(0, document()->characterCount() - 1);
}

void BodyTextBox::replaceText(const QString& text)
{
    QTextCursor cursor(document());
    cursor.select(QTextCursor::Document);
    replaceSelection(cursor, text);
}

void BodyTextBox::replaceRange(qsizetype offset, qsizetype length, const QString& text)
{
    QTextCursor cursor(document());
    cursor.setPosition(positionOf(offset));
    cursor.setPosition(positionOf(offset + length), QTextCursor::KeepAnchor);
    replaceSelection(cursor, text);
    setTextCursor(cursor);
}

void BodyTextBox::replaceSelection(QTextCursor& cursor, const QString& text)
{
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertWithDisplayBreaks(cursor, text);
    // The document joins typing to an insertion just before it; this step ends in a command typing cannot join.
    document()->appendUndoItem(new StepEnd);
    cursor.endEditBlock();
}

int BodyTextBox::positionOf(qsizetype offset) const
{
    qsizetype textStart = 0;
    int position = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (position > 0 && !continuesLine(block))
            ++textStart; // the line break before the block
        const QTextBlock next = block.next();
        const qsizetype textEnd = textStart + block.length() - 1;
        if (offset < textEnd || !next.isValid() || (offset == textEnd && !continuesLine(next)))
            return position + int(std::min(offset - textStart, qsizetype(block.length() - 1)));
        textStart = textEnd;
        position += block.length();
    }
    return 0;
}

qsizetype BodyTextBox::offsetOf(int position) const
{
    qsizetype textStart = 0;
    int blockStart = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (blockStart > 0 && !continuesLine(block))
            ++textStart;
        if (position < blockStart + block.length() || !block.next().isValid())
            return textStart + std::min(position - blockStart, block.length() - 1);
        textStart += block.length() - 1;
        blockStart += block.length();
    }
    return 0;
}

void BodyTextBox::setMarks(std::vector<TextMark> marks, const QList<QTextCharFormat>& styles)
{
    m_marks = std::move(marks);
    m_markStyles = styles;
    m_longestMark = 0;
    for (const TextMark& mark : m_marks)
        m_longestMark = std::max(m_longestMark, mark.length);
    m_blockOffsets.clear();
    m_blockOffsets.reserve(size_t(document()->blockCount()));
    qsizetype textStart = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        if (!m_blockOffsets.empty() && !continuesLine(block))
            ++textStart;
        m_blockOffsets.push_back(textStart);
        textStart += block.length() - 1;
    }
    m_marksStale = false;
    markVisibleBlocks();
}

// Only the blocks on screen carry marks: giving a block formats lays it out again, which for every block
// of a long message would cost more than finding the marks did.
void BodyTextBox::markVisibleBlocks()
{
    if (m_marksStale)
        return;
    const QPointF offset = contentOffset();
    const int bottom = viewport()->height();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (blockBoundingGeometry(block).translated(offset).top() > bottom)
            break;
        const auto number = size_t(block.blockNumber());
        if (number >= m_blockOffsets.size())
            break;
        const qsizetype blockStart = m_blockOffsets[number];
        const qsizetype blockEnd = blockStart + block.length() - 1;
        std::vector<TextMark> inBlock;
        auto mark = std::lower_bound(m_marks.begin(), m_marks.end(), blockStart - m_longestMark + 1,
                                     [](const TextMark& m, qsizetype start) { return m.start < start; });
        for (; mark != m_marks.end() && mark->start < blockEnd; ++mark) {
            const qsizetype start = std::max(mark->start, blockStart);
            const qsizetype end = std::min(mark->start + mark->length, blockEnd);
            if (end > start)
                inBlock.push_back({start - blockStart, end - start, mark->style});
        }
        // Where marks overlap, the one in the later style shows.
        std::stable_sort(inBlock.begin(), inBlock.end(),
                         [](const TextMark& a, const TextMark& b) { return a.style < b.style; });
        QList<QTextLayout::FormatRange> ranges;
        for (const TextMark& part : inBlock)
            ranges.append({int(part.start), int(part.length), m_markStyles.at(part.style)});
        setBlockMarks(block, ranges);
    }
}

void BodyTextBox::setBlockMarks(const QTextBlock& block, const QList<QTextLayout::FormatRange>& ranges)
{
    QTextLayout* layout = block.layout();
    if (layout->formats() == ranges)
        return;
    m_markingBlocks = true;
    layout->setFormats(ranges);
    document()->markContentsDirty(block.position(), block.length());
    m_markingBlocks = false;
}

// The marks of an edited block no longer fit its text; blocks between its first and last are new.
void BodyTextBox::takeMarksOffEdit(int position, int added)
{
    if (m_markingBlocks)
        return;
    m_marksStale = true;
    for (const QTextBlock& block : {document()->findBlock(position), document()->findBlock(position + added)}) {
        if (block.isValid() && !block.layout()->formats().isEmpty())
            setBlockMarks(block, {});
    }
}

void BodyTextBox::resizeEvent(QResizeEvent* event)
{
    QPlainTextEdit::resizeEvent(event);
    markVisibleBlocks();
}

void BodyTextBox::paintEvent(QPaintEvent* event)
{
    QPlainTextEdit::paintEvent(event);
    // The blocks on screen, placed as the box itself places them.
    QPainter painter(viewport());
    QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF bounds = blockBoundingRect(block).translated(offset);
        if (bounds.top() > event->rect().bottom())
            break;
        drawWaves(painter, block, bounds.topLeft());
        offset.ry() += bounds.height();
    }
}

void BodyTextBox::drawWaves(QPainter& painter, const QTextBlock& block, QPointF topLeft) const
{
    const QTextLayout* layout = block.layout();
    const QPointF origin = topLeft + layout->position();
    for (const QTextLayout::FormatRange& range : layout->formats()) {
        if (!WavyUnderline::isWavy(range.format))
            continue;
        for (int index = 0; index < layout->lineCount(); ++index) {
            const QTextLine line = layout->lineAt(index);
            const int start = std::max(range.start, line.textStart());
            const int end = std::min(range.start + range.length, line.textStart() + line.textLength());
            // No bottom is given: below the line lies the empty room above the next line's letters.
            if (start < end)
                WavyUnderline::draw(painter, origin.x() + line.cursorToX(start), origin.x() + line.cursorToX(end),
                                    origin.y() + line.y() + line.ascent(), range.format.underlineColor());
        }
    }
}

void BodyTextBox::keyPressEvent(QKeyEvent* event)
{
    QTextCursor cursor = textCursor();
    const bool plain = !(event->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier));
    // Enter starts a line of its own, not a continuation of the piece it was pressed in.
    if (event == QKeySequence::InsertParagraphSeparator) {
        cursor.insertBlock(blockFormat(cursor.blockFormat(), false));
        setTextCursor(cursor);
        ensureCursorVisible();
        return;
    }
    // Backspace before and Delete after a display break take the character beyond it, as in the text.
    const bool backspace
        = event->key() == Qt::Key_Backspace && plain && cursor.atBlockStart() && continuesLine(cursor.block());
    const bool del = event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && cursor.atBlockEnd()
        && continuesLine(cursor.block().next());
    if ((backspace || del) && !cursor.hasSelection()) {
        cursor.beginEditBlock();
        cursor.movePosition(backspace ? QTextCursor::PreviousCharacter : QTextCursor::NextCharacter,
                            QTextCursor::KeepAnchor, 2);
        cursor.removeSelectedText();
        cursor.endEditBlock();
        setTextCursor(cursor);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void BodyTextBox::insertFromMimeData(const QMimeData* source)
{
    if (source == nullptr || !source->hasText())
        return;
    QTextCursor cursor = textCursor();
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    insertWithDisplayBreaks(cursor, source->text());
    cursor.endEditBlock();
    setTextCursor(cursor);
    ensureCursorVisible();
}

QMimeData* BodyTextBox::createMimeDataFromSelection() const
{
    const QTextCursor cursor = textCursor();
    auto* data = new QMimeData;
    data->setText(textBetween(cursor.selectionStart(), cursor.selectionEnd()));
    return data;
}
