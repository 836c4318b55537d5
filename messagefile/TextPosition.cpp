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
    for (qsizetype i = 0; i < size; ++i) {
        if (units[i] == '\n')
            m_lineStarts.append(i + 1);
    }
}

TextPosition LineIndex::at(qsizetype offset) const
{
    if (m_lineStarts.isEmpty())
        return {};
    offset = std::clamp<qsizetype>(offset, 0, std::max(m_text.size(), m_utf8.size()));
    const auto next = std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), offset);
    const qsizetype lineStart = *(next - 1);
    // Units that continue a character (low surrogates, UTF-8 continuation bytes) add no column.
    qsizetype column = 1;
    for (qsizetype i = lineStart; i < offset; ++i) {
        const bool continues
            = m_utf8.isEmpty() ? QChar::isLowSurrogate(m_text.at(i).unicode()) : (uchar(m_utf8.at(i)) & 0xC0) == 0x80;
        column += !continues;
    }
    return {next - m_lineStarts.cbegin(), column};
}
