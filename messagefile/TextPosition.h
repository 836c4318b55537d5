#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A place in a file as editors show it: 1-based line and column, the column counted in characters
// (Unicode code points) from the start of the line. 0 when the place is not known.
struct TextPosition
{
    qsizetype line = 0;
    qsizetype column = 0;

    bool isKnown() const { return line > 0; }
    friend bool operator==(const TextPosition&, const TextPosition&) = default;
};

// A stretch of one line of a file: from `start` to just before `end`.
struct TextSpan
{
    TextPosition start;
    TextPosition end;
};

// Answers the line and column of offsets into one text, UTF-16 or UTF-8, after one pass over it, in time
// that does not grow with the length of the line (minified pages are one line). Lines end at LF; a CR
// before it belongs to the line.
class LineIndex
{
public:
    LineIndex() = default;
    explicit LineIndex(QString text);
    explicit LineIndex(QByteArray utf8);

    // The place of the unit at `offset` (a UTF-16 unit or a UTF-8 byte); an offset past the end is clamped.
    TextPosition at(qsizetype offset) const;

private:
    // Columns are known at every offset that is a multiple of this, so an answer counts at most this many units.
    static constexpr qsizetype ColumnStride = 32;

    void indexLines(auto units, qsizetype size);
    // Whether the unit at `offset` continues a character (a low surrogate, a UTF-8 continuation byte).
    bool continuesCharacter(qsizetype offset) const;

    QString m_text;
    QByteArray m_utf8;
    // Offsets where each line starts.
    QList<qsizetype> m_lineStarts;
    // The column of every ColumnStride-th offset.
    QList<qsizetype> m_strideColumns;
};
