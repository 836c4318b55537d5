#pragma once

#include "mainwindow/TextMark.h"

#include <QList>
#include <QPlainTextEdit>
#include <QString>
#include <QTextLayout>

#include <vector>

class QPainter;
class QTextCursor;

// The message body box. The box lays out and redraws a line as a whole, so a very long line (a message
// pasted from a program that never breaks its lines) would hold the window up on every paste, scan and
// key press. The box therefore shows a long line as several, broken after a space (or, without one, at
// any character) every few thousand characters; these display breaks are no part of the text: text(),
// the box's own Copy and Cut and every offset into the text leave them out, and Enter, Backspace and
// Delete work on the text as written.
class BodyTextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    // The longest piece of a line that the box lays out as one.
    static constexpr int DisplayLineLimit = 4096;

    explicit BodyTextBox(QWidget* parent = nullptr);

    // The text as the user wrote it, line breaks as in QPlainTextEdit::toPlainText().
    QString text() const;
    // Replaces the whole text as one edit, which Undo takes back.
    void replaceText(const QString& text);
    // Replaces `length` characters of text() from `offset` as one edit, which Undo takes back, and leaves the
    // caret after the new text.
    void replaceRange(qsizetype offset, qsizetype length, const QString& text);
    // The box's cursor position of an offset into text().
    int positionOf(qsizetype offset) const;
    // The offset into text() of a cursor position: the inverse of positionOf().
    qsizetype offsetOf(int position) const;

    // Shows marks over ranges of text(), ordered by start, each in one of `styles`. The marks are a view of
    // the text only: they are drawn into the layouts of the blocks on screen, never into the document, so
    // neither the text, the selection nor the undo history changes. An edit takes the marks off the blocks
    // it touches until marks for the new text are given.
    void setMarks(std::vector<TextMark> marks, const QList<QTextCharFormat>& styles);
    const std::vector<TextMark>& marks() const { return m_marks; }
    // Whether the marks were given for the text as it stands.
    bool marksAreCurrent() const { return !m_marksStale; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Draws the wavy underlines that the block's marks ask for (see WavyUnderline); `topLeft` is where the
    // box draws the block.
    void drawWaves(QPainter& painter, const QTextBlock& block, QPointF topLeft) const;
    QString textBetween(int from, int to) const;
    // Replaces the cursor's selection as one undo step.
    void replaceSelection(QTextCursor& cursor, const QString& text);
    void markVisibleBlocks();
    void setBlockMarks(const QTextBlock& block, const QList<QTextLayout::FormatRange>& ranges);
    void takeMarksOffEdit(int position, int added);

    std::vector<TextMark> m_marks;
    QList<QTextCharFormat> m_markStyles;
    qsizetype m_longestMark = 0;
    // Where each block's text starts in text(), by block number, for the text the marks were given for.
    std::vector<qsizetype> m_blockOffsets;
    bool m_marksStale = false;
    bool m_markingBlocks = false;
};
