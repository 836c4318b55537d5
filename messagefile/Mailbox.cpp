#include "messagefile/Mailbox.h"

#include <QIODevice>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>

namespace {

// ">From ", ">>From " ...: a line of the message that the mail program quoted.
bool isQuotedSeparator(QByteArrayView line)
{
    qsizetype i = 0;
    while (i < line.size() && line.at(i) == '>')
        ++i;
    return i > 0 && line.sliced(i).startsWith("From ");
}

bool isEmptyLine(QByteArrayView line)
{
    return line == "\n" || line == "\r\n";
}

// The byte count of a "Content-Length:" header line; nothing for other lines and for values that are no
// count.
std::optional<qint64> contentLengthOf(QByteArrayView line)
{
    constexpr QByteArrayView Name = "content-length:";
    if (line.size() <= Name.size() || line.first(Name.size()).compare(Name, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    bool ok = false;
    const qint64 length = line.sliced(Name.size()).trimmed().toLongLong(&ok);
    return ok && length >= 0 ? std::optional(length) : std::nullopt;
}

} // namespace

bool looksLikeMailbox(QByteArrayView firstLine)
{
    // The sender (a quoted local part may hold spaces), then the date as the C library's asctime() writes it,
    // some programs adding a time zone before the year, or as Internet mail writes dates; what follows the
    // date ("remote from ...") is left as it is.
    static const QRegularExpression separator(
        QStringLiteral(R"(^From (?:"[^"]*"\S*|\S+) +(?:(?:%1) +(?:%2) +\d{1,2} +%3(?: +%4)* +\d{4}|)"
                       R"((?:(?:%1), *)?\d{1,2} +(?:%2) +\d{4} +%3(?: +%4)?)(?: .*)?$)")
            .arg(QStringLiteral("Mon|Tue|Wed|Thu|Fri|Sat|Sun"),
                 QStringLiteral("Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec"),
                 QStringLiteral(R"(\d{1,2}:\d{2}(?::\d{2})?)"), QStringLiteral(R"((?:[a-z]{1,5}|[+-]\d{4}))")),
        QRegularExpression::CaseInsensitiveOption);
    QByteArrayView line = firstLine;
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line.startsWith("From ") && separator.match(QString::fromLatin1(line)).hasMatch();
}

bool MailboxReader::Piece::isEmptyLine() const
{
    return startsLine && ::isEmptyLine(bytes);
}

bool MailboxReader::Piece::isSeparator() const
{
    return startsLine && endsLine && looksLikeMailbox(bytes);
}

MailboxReader::MailboxReader(QIODevice& device, qint64 maxMessageBytes)
    : m_device(device)
    , m_maxMessageBytes(maxMessageBytes)
{
    if (!device.isSequential())
        m_sizeAtStart = device.size();
}

std::optional<MailboxReader::Piece> MailboxReader::readPiece(std::optional<qint64> end)
{
    const qint64 most = end ? std::min(PieceBytes, *end - m_device.pos()) : PieceBytes;
    if (most <= 0)
        return std::nullopt;
    m_buffer.resize(most + 1);
    const qint64 count = m_device.readLine(m_buffer.data(), most + 1);
    if (count <= 0) {
        if (!m_device.atEnd())
            m_failure = QStringLiteral("reading failed (%1)").arg(m_device.errorString());
        return std::nullopt;
    }
    Piece piece;
    piece.bytes = QByteArrayView(m_buffer.constData(), count);
    piece.startsLine = m_atLineStart;
    m_atLineStart = piece.bytes.endsWith('\n');
    piece.endsLine = m_atLineStart || m_device.atEnd();
    return piece;
}

QString MailboxReader::faultAtEnd(bool bodyRunsPastEnd) const
{
    if (!m_failure.isEmpty())
        return m_failure;
    if (m_sizeAtStart && m_device.pos() < *m_sizeAtStart)
        return QStringLiteral("the file shrank from %1 to %2 bytes while message %3 was read")
            .arg(*m_sizeAtStart)
            .arg(m_device.size())
            .arg(m_messages);
    if (bodyRunsPastEnd)
        return QStringLiteral("the file ends before message %1 does (its Content-Length runs past the end)")
            .arg(m_messages);
    // Mail programs end every message with a line end.
    if (!m_atLineStart)
        return QStringLiteral("the file ends in the middle of a line of message %1, so the message is not complete")
            .arg(m_messages);
    return {};
}

bool MailboxReader::separatorFollows(qint64 length)
{
    // Only a file can be looked ahead in; a stream is split by its "From " lines alone.
    const qint64 start = m_device.pos();
    if (!m_sizeAtStart || length > m_device.size() - start)
        return false;
    const qint64 end = start + length;
    char before = '\n';
    bool follows = false;
    if ((length == 0 || (m_device.seek(end - 1) && m_device.getChar(&before))) && before == '\n'
        && m_device.seek(end)) {
        QByteArray line = m_device.readLine(PieceBytes);
        if (isEmptyLine(line))
            line = m_device.readLine(PieceBytes);
        follows = line.isEmpty() ? m_device.atEnd() : looksLikeMailbox(line);
    }
    return m_device.seek(start) && follows;
}

void MailboxReader::append(MailboxMessage& message, const Piece& piece) const
{
    const QByteArrayView bytes
        = piece.startsLine && isQuotedSeparator(piece.bytes) ? piece.bytes.sliced(1) : piece.bytes;
    if (message.tooLarge)
        return;
    // An empty line may stand past the limit for a moment: before a "From " line it is no part of the
    // message, and whatever follows it otherwise finds the message too large.
    const bool fits = message.bytes.size() + bytes.size() <= m_maxMessageBytes
        || (piece.isEmptyLine() && message.bytes.size() <= m_maxMessageBytes);
    if (!fits) {
        message.tooLarge = true;
        message.bytes = QByteArray();
        return;
    }
    // Grown by resizing, which reallocates the block in place; appending would copy a message near the
    // limit into a new block and hold it twice for a moment.
    const qsizetype used = message.bytes.size();
    message.bytes.resize(used + bytes.size());
    std::memcpy(message.bytes.data() + used, bytes.data(), size_t(bytes.size()));
}

std::optional<MailboxMessage> MailboxReader::next()
{
    if (m_ended)
        return std::nullopt;
    if (!m_started) {
        m_started = true;
        // Whatever stands before the first "From " line is no message.
        std::optional<Piece> piece;
        do
            piece = readPiece();
        while (piece && !piece->isSeparator());
        if (!piece) {
            m_ended = true;
            m_error = m_failure;
            return std::nullopt;
        }
    }
    ++m_messages;
    MailboxMessage message;
    bool inHeader = true;
    std::optional<qint64> contentLength;
    bool bodyRunsPastEnd = false;
    // The size of the last line when it was empty: the empty line before a "From " line is no part of
    // the message.
    qsizetype emptyLine = 0;
    // A body of the length its header gives ended at the last piece; a "From " line may follow at once.
    bool countedBodyEnded = false;
    for (;;) {
        const std::optional<Piece> piece = readPiece();
        if (!piece) {
            m_ended = true;
            m_error = faultAtEnd(bodyRunsPastEnd);
            if (!m_error.isEmpty())
                return std::nullopt;
            break;
        }
        const bool mayEnd = emptyLine > 0 || countedBodyEnded;
        countedBodyEnded = false;
        if (mayEnd && piece->isSeparator())
            break;
        append(message, *piece);
        emptyLine = piece->isEmptyLine() ? piece->bytes.size() : 0;
        if (!inHeader || !piece->startsLine)
            continue;
        if (emptyLine == 0) {
            if (const std::optional<qint64> length = contentLengthOf(piece->bytes))
                contentLength = length;
            continue;
        }
        // The header ends here. A body whose length is given is taken whole, "From " lines and all, when
        // that length ends it where a message ends; a length that runs past the end of the file means the
        // file was cut short, unless a "From " line shows that the length was wrong.
        inHeader = false;
        if (!contentLength)
            continue;
        if (!separatorFollows(*contentLength)) {
            bodyRunsPastEnd = m_sizeAtStart && *contentLength > m_device.size() - m_device.pos();
            continue;
        }
        const qint64 end = m_device.pos() + *contentLength;
        while (const std::optional<Piece> counted = readPiece(end)) {
            append(message, *counted);
            emptyLine = 0;
            countedBodyEnded = true;
        }
    }
    if (!message.tooLarge)
        message.bytes.chop(emptyLine);
    return message;
}
