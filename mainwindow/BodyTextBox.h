#pragma once

#include <QPlainTextEdit>
#include <QString>

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
    // The box's cursor position of an offset into text().
    int positionOf(qsizetype offset) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    QString textBetween(int from, int to) const;
};
