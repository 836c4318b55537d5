#include "lsp/TextDocument.h"

#include <algorithm>

namespace {

// How many units of the position encoding the character at `offset` takes, and how many UTF-16 units.
struct CharacterSize
{
    qsizetype encoded = 1;
    qsizetype units = 1;
};

CharacterSize characterAt(const QString& text, qsizetype offset, PositionEncoding encoding)
{
    const char16_t unit = text.at(offset).unicode();
    const bool pair = QChar::isHighSurrogate(unit) && offset + 1 < text.size()
        && QChar::isLowSurrogate(text.at(offset + 1).unicode());
    switch (encoding) {
    case PositionEncoding::Utf16:
        return {pair ? 2 : 1, pair ? 2 : 1};
    case PositionEncoding::Utf32:
        return {1, pair ? 2 : 1};
    case PositionEncoding::Utf8:
        break;
    }
    if (pair)
        return {4, 2};
    // A lone surrogate goes out as the replacement character, three bytes long.
    return {unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3, 1};
}

// The width in the encoding of the units from `from` to `to`, which start and end on character boundaries.
qsizetype widthOf(const QString& text, qsizetype from, qsizetype to, PositionEncoding encoding)
{
    qsizetype width = 0;
    while (from < to) {
        const CharacterSize size = characterAt(text, from, encoding);
        width += size.encoded;
        from += size.units;
    }
    return width;
}

bool splitsPair(const QString& text, qsizetype offset)
{
    return offset > 0 && offset < text.size() && QChar::isLowSurrogate(text.at(offset).unicode())
        && QChar::isHighSurrogate(text.at(offset - 1).unicode());
}

} // namespace

TextDocument::TextDocument(QString text)
    : m_text(std::move(text))
{
}

void TextDocument::replace(qsizetype start, qsizetype end, const QString& text)
{
    start = std::clamp<qsizetype>(start, 0, m_text.size());
    end = std::clamp<qsizetype>(end, start, m_text.size());
    m_text.replace(start, end - start, text);
    m_place = {};
    if (m_linesStale)
        return;
    // Only the lines around the change are looked through again; an edit in a long document is typed
    // often. The line before the change's line is taken in as well, for a CR before the change may now be
    // followed by an LF. A line start after the change stays one when the two units before it and its first
    // unit are not part of the change.
    const qsizetype changed = std::max<qsizetype>(lineOf(start) - 1, 0);
    const auto kept = std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), end + 1);
    QList<qsizetype> after(kept, m_lineStarts.cend());
    const qsizetype delta = text.size() - (end - start);
    for (qsizetype& lineStart : after)
        lineStart += delta;
    m_lineStarts.resize(changed + 1);
    collectLineStarts(m_lineStarts.constLast(), after.isEmpty() ? m_text.size() + 1 : after.constFirst());
    m_lineStarts.append(after);
}

void TextDocument::indexLines() const
{
    if (!m_linesStale)
        return;
    m_lineStarts = {0};
    collectLineStarts(0, m_text.size() + 1);
    m_linesStale = false;
}

void TextDocument::collectLineStarts(qsizetype from, qsizetype before) const
{
    const QChar* units = m_text.constData();
    const qsizetype end = std::min(before, m_text.size());
    for (qsizetype i = from; i < end; ++i) {
        if (units[i] == u'\r' && i + 1 < m_text.size() && units[i + 1] == u'\n')
            ++i;
        if ((units[i] == u'\n' || units[i] == u'\r') && i + 1 < before)
            m_lineStarts.append(i + 1);
    }
}

qsizetype TextDocument::lineOf(qsizetype offset) const
{
    return std::upper_bound(m_lineStarts.cbegin(), m_lineStarts.cend(), offset) - m_lineStarts.cbegin() - 1;
}

qsizetype TextDocument::lineEnd(qsizetype line) const
{
    if (line + 1 >= m_lineStarts.size())
        return m_text.size();
    const qsizetype next = m_lineStarts.at(line + 1);
    const bool crLf = next >= 2 && m_text.at(next - 1) == u'\n' && m_text.at(next - 2) == u'\r';
    return next - (crLf ? 2 : 1);
}

TextDocument::LinePlace TextDocument::keptPlace(qsizetype line, PositionEncoding encoding) const
{
    if (m_place.line == line && m_place.encoding == encoding)
        return m_place;
    return {line, m_lineStarts.at(line), 0, encoding};
}

qsizetype TextDocument::offsetAt(DocumentPosition position, PositionEncoding encoding) const
{
    indexLines();
    if (position.line < 0)
        return 0;
    if (position.line >= m_lineStarts.size())
        return m_text.size();
    const qsizetype start = m_lineStarts.at(position.line);
    const qsizetype end = lineEnd(position.line);
    const qsizetype character = std::max<qsizetype>(position.character, 0);
    if (encoding == PositionEncoding::Utf16) {
        const qsizetype offset = std::min(start + character, end);
        return splitsPair(m_text, offset) ? offset - 1 : offset;
    }
    LinePlace place = keptPlace(position.line, encoding);
    while (place.character > character) {
        place.offset -= splitsPair(m_text, place.offset - 1) ? 2 : 1;
        place.character -= characterAt(m_text, place.offset, encoding).encoded;
    }
    while (place.offset < end) {
        const CharacterSize size = characterAt(m_text, place.offset, encoding);
        if (place.character + size.encoded > character)
            break;
        place.character += size.encoded;
        place.offset += size.units;
    }
    m_place = place;
    return place.offset;
}

DocumentPosition TextDocument::positionAt(qsizetype offset, PositionEncoding encoding) const
{
    indexLines();
    offset = std::clamp<qsizetype>(offset, 0, m_text.size());
    if (splitsPair(m_text, offset))
        --offset;
    const qsizetype line = lineOf(offset);
    const qsizetype start = m_lineStarts.at(line);
    offset = std::min(offset, lineEnd(line));
    if (encoding == PositionEncoding::Utf16)
        return {line, offset - start};
    LinePlace place = keptPlace(line, encoding);
    if (offset >= place.offset)
        place.character += widthOf(m_text, place.offset, offset, encoding);
    else
        place.character -= widthOf(m_text, offset, place.offset, encoding);
    place.offset = offset;
    m_place = place;
    return {line, place.character};
}
