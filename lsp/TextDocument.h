#pragma once

#include <QList>
#include <QString>

// How the characters of a position's line are counted: UTF-16 code units (the protocol's default), UTF-8
// bytes or code points.
enum class PositionEncoding
{
    Utf8,
    Utf16,
    Utf32
};

// A 0-based line and a character counted in a PositionEncoding from the line's start.
struct DocumentPosition
{
    qsizetype line = 0;
    qsizetype character = 0;

    friend bool operator==(const DocumentPosition&, const DocumentPosition&) = default;
};

// The text of an open document, and the translation between its UTF-16 offsets and the positions an
// editor speaks in. Lines end at LF, CR LF or a lone CR, as the protocol has it.
class TextDocument
{
public:
    explicit TextDocument(QString text = {});

    const QString& text() const { return m_text; }

    // Replaces the units from `start` to `end` (offsets, clamped to the text).
    void replace(qsizetype start, qsizetype end, const QString& text);

    // The offset of a position; a character beyond its line's end means the line's end, a line beyond the
    // last the end of the text. A position inside a character means that character's start.
    qsizetype offsetAt(DocumentPosition position, PositionEncoding encoding) const;
    // The position of an offset; the offset of a low surrogate counts as that of its pair's start.
    DocumentPosition positionAt(qsizetype offset, PositionEncoding encoding) const;

private:
    // A character's place on a line, kept from the last translation: positions are mostly asked for in
    // the order of the text, so a long line is walked once rather than from its start each time.
    struct LinePlace
    {
        qsizetype line = -1;
        qsizetype offset = 0;
        qsizetype character = 0;
        PositionEncoding encoding = PositionEncoding::Utf16;
    };

    void indexLines() const;
    // Appends the starts of the lines that begin after the line breaks from `from` on, up to before `before`.
    void collectLineStarts(qsizetype from, qsizetype before) const;
    // Where to walk from on `line`: the kept place when it lies on that line, else the line's start.
    LinePlace keptPlace(qsizetype line, PositionEncoding encoding) const;
    qsizetype lineOf(qsizetype offset) const;
    // The end of the line's text, before its line break.
    qsizetype lineEnd(qsizetype line) const;

    QString m_text;
    // Where each line starts; rebuilt when first needed after a change.
    mutable QList<qsizetype> m_lineStarts;
    mutable bool m_linesStale = true;
    mutable LinePlace m_place;
};
