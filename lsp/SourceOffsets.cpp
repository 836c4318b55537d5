#include "lsp/SourceOffsets.h"

#include <algorithm>

SourceOffsets::SourceOffsets(const QString& document)
    : m_document(document)
{
}

qsizetype SourceOffsets::fromLineFeedText(qsizetype index)
{
    if (!m_joinedLineEnds) {
        m_joinedLineEnds.emplace();
        for (qsizetype at = m_document.indexOf(u"\r\n"); at >= 0; at = m_document.indexOf(u"\r\n", at + 2))
            m_joinedLineEnds->append(at - m_joinedLineEnds->size());
    }
    // Every joined line end before the unit stands for one unit more in the document.
    return index
        + (std::lower_bound(m_joinedLineEnds->cbegin(), m_joinedLineEnds->cend(), index) - m_joinedLineEnds->cbegin());
}

std::optional<qsizetype> SourceOffsets::fromLineAndColumn(qsizetype line, qsizetype column)
{
    if (m_lineStarts.isEmpty()) {
        m_lineStarts.append(0);
        for (qsizetype i = 0; i < m_document.size(); ++i) {
            if (m_document.at(i) == u'\n')
                m_lineStarts.append(i + 1);
        }
    }
    if (line < 1 || line > m_lineStarts.size() || column < 1)
        return std::nullopt;
    if (m_placeLine != line) {
        m_placeLine = line;
        m_placeColumn = 1;
        m_placeOffset = m_lineStarts.at(line - 1);
    }
    for (; m_placeColumn > column; --m_placeColumn) {
        const bool pair = m_placeOffset >= 2 && m_document.at(m_placeOffset - 1).isLowSurrogate()
            && m_document.at(m_placeOffset - 2).isHighSurrogate();
        m_placeOffset -= pair ? 2 : 1;
    }
    const qsizetype end = line < m_lineStarts.size() ? m_lineStarts.at(line) - 1 : m_document.size();
    while (m_placeColumn < column && m_placeOffset < end) {
        m_placeOffset = afterCharacter(m_placeOffset);
        ++m_placeColumn;
    }
    if (m_placeColumn < column)
        return std::nullopt;
    return m_placeOffset;
}

qsizetype SourceOffsets::afterCharacter(qsizetype offset) const
{
    const bool pair = offset + 1 < m_document.size() && m_document.at(offset).isHighSurrogate()
        && m_document.at(offset + 1).isLowSurrogate();
    return std::min(offset + (pair ? 2 : 1), m_document.size());
}

std::optional<qsizetype> SourceOffsets::nextDecodedLine(QStringView line)
{
    if (!m_bodyLines) {
        m_bodyLines.emplace();
        bool inHeader = true;
        for (qsizetype start = 0; start < m_document.size();) {
            qsizetype end = m_document.indexOf(u'\n', start);
            if (end < 0)
                end = m_document.size();
            QStringView text = QStringView(m_document).sliced(start, end - start);
            if (text.endsWith(u'\r'))
                text.chop(1);
            if (!inHeader)
                (*m_bodyLines)[text].append(start);
            inHeader = inHeader && !text.isEmpty();
            start = end + 1;
        }
    }
    const auto found = m_bodyLines->constFind(line);
    if (found == m_bodyLines->cend())
        return std::nullopt;
    const auto next = std::upper_bound(found->cbegin(), found->cend(), m_lastLineFound);
    if (next == found->cend())
        return std::nullopt;
    m_lastLineFound = *next;
    return *next;
}
