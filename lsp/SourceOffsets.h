#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

// Finds where the text a message reader gives lies in the document it was read from, as UTF-16 offsets
// into the document. Each way of finding builds what it needs when first asked.
class SourceOffsets
{
public:
    explicit SourceOffsets(const QString& document);

    // The offset of unit `index` of the document's text with its CR LF line ends made LF; the text's end
    // gives the document's end.
    qsizetype fromLineFeedText(qsizetype index);

    // The offset of the character at a 1-based line (lines end at LF) and 1-based column (in code points);
    // nothing when the document has no such place.
    std::optional<qsizetype> fromLineAndColumn(qsizetype line, qsizetype column);
    // The offset just after the character at `offset`.
    qsizetype afterCharacter(qsizetype offset) const;

    // Where a line of a text decoded from the document (a saved e-mail's body) stands whole and unchanged
    // in the document: the start of the first line below the header section that equals it and follows
    // the line found last. Lines are asked for in the order of the decoded text.
    std::optional<qsizetype> nextDecodedLine(QStringView line);

private:
    const QString& m_document;
    // The offsets, in the text with LF line ends, of the LFs that stand for a CR LF of the document.
    std::optional<QList<qsizetype>> m_joinedLineEnds;
    // Where each line starts, lines ending at LF.
    QList<qsizetype> m_lineStarts;
    // The place found last, from which the next one on the same line is walked to: places are mostly asked
    // for in the order of the text, so a long line is walked once rather than from its start each time.
    qsizetype m_placeLine = 0;
    qsizetype m_placeColumn = 0;
    qsizetype m_placeOffset = 0;
    // The lines below the header section by their text (CR left out), each with the offsets it starts at.
    std::optional<QHash<QStringView, QList<qsizetype>>> m_bodyLines;
    qsizetype m_lastLineFound = -1;
};
