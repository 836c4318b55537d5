#pragma once

#include <QString>

// The two panes a message is typed into.
enum class Pane
{
    Subject,
    Body
};

// The text a scan reads: the subject padded with spaces to 120 columns, then the body. Positions in it name
// a place in one of the panes; this is the one place that knows how.
namespace ScanText {

constexpr qsizetype SubjectWidth = 120;

// A subject as the subject box holds it: at most its first 120 characters. Every face rates the subject
// the box would hold, so that the percentage counts the same characters.
QString boxSubject(const QString& subject);

// Writes the scan text of `subject` and `body` into `text`, reusing its memory.
void write(QString& text, const QString& subject, const QString& body);
QString of(const QString& subject, const QString& body);

// The pane that the scan text's unit at 0-based `offset` lies in, and its offset within that pane.
inline Pane paneAt(qsizetype offset)
{
    return offset < SubjectWidth ? Pane::Subject : Pane::Body;
}
inline qsizetype offsetInPane(qsizetype offset)
{
    return offset < SubjectWidth ? offset : offset - SubjectWidth;
}
// The 0-based offset in the scan text of `offset` in `pane`.
inline qsizetype offsetIn(Pane pane, qsizetype offset)
{
    return pane == Pane::Subject ? offset : SubjectWidth + offset;
}

} // namespace ScanText
