#include "messagefile/TextPosition.h"

#include <algorithm>

LineIndex::LineIndex(QString text)
    : m_text(std::move(text))
{
    indexLines(m_text.utf16(), m_text.size());
}

LineIndex::LineIndex(QByteArray utf8)
    : m_utf8(std::move(utf8))
{
    indexLines(m_utf8.constData(), m_utf8.size());
}

void LineIndex::indexLines(auto units, qsizetype size)
{
    m_lineStarts.append(0);
    m_strideColumns.reserve(size / ColumnStride + 1);
    qsizetype column = 1;
    for (qsizetype i = 0; i < size; ++i) {
        if (i % ColumnStride == 0)
            m_strideColumns.append(column);
        if (units[i] == '\n') {
            m_lineStarts.append(i + 1);
            column = 1;
        } else {
            column += !continuesCharacter(i);
        }
    }
}

bool LineIndex::continuesCharacter(qsizetype offset) const
{
    return m_utf8.isEmpty() ? QChar::isLowSurrogate(m_text.at(offset).unicode())
                            : (uchar(m_utf8.at(offset)) & 0xC0) == 0x80;
}

TextPosition LineIndex::at(qsizetype offset) const
{
    if (m_lineStarts.isEmpty())
        return {};
    offset = std::clamp<qsizetype>(offset, 0, std::max(m_text.size(), m_utf8.size()));
    const auto next = std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), offset);
    // Counted on from the nearest known column at or before the offset on the same line.
    qsizetype from = *(next - 1);
    qsizetype column = 1;
    const qsizetype stride = std::min(offset / ColumnStride, m_strideColumns.size() - 1);
    if (stride >= 0 && stride * ColumnStride > from) {
        from = stride * ColumnStride;
        column = m_strideColumns.at(stride);
    }
    // Units that continue a character add no column.
    if (m_utf8.isEmpty()) {
        for (const QChar unit : QStringView(m_text).sliced(from, offset - from))
            column += !unit.isLowSurrogate();
    } else {
        for (const char unit : QByteArrayView(m_utf8).sliced(from, offset - from))
            column += (uchar(unit) & 0xC0) != 0x80;
    }
    return {next - m_lineStarts.cbegin(), column};
}
