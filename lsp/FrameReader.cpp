#include "lsp/FrameReader.h"

#include <algorithm>

namespace {

constexpr QByteArrayView ContentLength = "content-length";

} // namespace

void FrameReader::append(QByteArrayView bytes)
{
    const qsizetype passed = std::min(m_skipping, bytes.size());
    m_skipping -= passed;
    bytes = bytes.sliced(passed);
    // Read bytes are dropped once they make up most of the buffer, so a run of small messages costs no
    // move of the buffer per message.
    if (m_read > 0 && m_read * 2 >= m_buffer.size()) {
        m_buffer.remove(0, m_read);
        m_read = 0;
    }
    m_buffer.append(bytes);
}

std::optional<FrameReader::Frame> FrameReader::next()
{
    if (m_contentLength < 0) {
        if (std::optional<Frame> fault = readHeader())
            return fault;
        if (m_contentLength < 0)
            return std::nullopt;
    }
    if (unread() < m_contentLength)
        return std::nullopt;
    Frame frame {m_buffer.sliced(m_read, m_contentLength), {}};
    pass(m_contentLength);
    m_contentLength = -1;
    return frame;
}

std::optional<FrameReader::Frame> FrameReader::readHeader()
{
    std::optional<qsizetype> length;
    bool lengthValid = true;
    for (qsizetype lineStart = m_read;;) {
        const qsizetype lineEnd = m_buffer.indexOf('\n', lineStart);
        if (lineEnd < 0) {
            if (unread() <= MaxHeaderBytes)
                return std::nullopt;
            pass(unread());
            return Frame {{}, QStringLiteral("a header longer than %1 bytes").arg(MaxHeaderBytes)};
        }
        QByteArrayView line = QByteArrayView(m_buffer).sliced(lineStart, lineEnd - lineStart);
        if (line.endsWith('\r'))
            line.chop(1);
        lineStart = lineEnd + 1;
        if (!line.isEmpty()) {
            const qsizetype colon = line.indexOf(':');
            if (colon >= 0 && line.first(colon).trimmed().compare(ContentLength, Qt::CaseInsensitive) == 0)
                length = line.sliced(colon + 1).trimmed().toLongLong(&lengthValid);
            continue;
        }
        // The empty line ends the header.
        pass(lineStart - m_read);
        if (!length)
            return Frame {{}, QStringLiteral("a header without Content-Length")};
        if (!lengthValid || *length < 0)
            return Frame {{}, QStringLiteral("a Content-Length that is not a number of bytes")};
        if (*length > MaxContentBytes) {
            m_skipping = *length;
            const qsizetype passed = std::min(m_skipping, unread());
            m_skipping -= passed;
            pass(passed);
            return Frame {{}, QStringLiteral("content of more than %1 bytes").arg(MaxContentBytes)};
        }
        m_contentLength = *length;
        return std::nullopt;
    }
}

void FrameReader::pass(qsizetype count)
{
    m_read += count;
    if (m_read == m_buffer.size()) {
        m_buffer.clear();
        m_read = 0;
    }
}

QByteArray FrameReader::frame(const QByteArray& content)
{
    return "Content-Length: " + QByteArray::number(content.size()) + "\r\n\r\n" + content;
}
