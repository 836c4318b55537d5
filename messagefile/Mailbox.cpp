#include "messagefile/Mailbox.h"

#include <QIODevice>
#include <QRegularExpression>

namespace {

bool isSeparator(const QByteArray& line)
{
    return line.startsWith("From ");
}

bool isEmptyLine(QByteArrayView line)
{
    return line == "\n" || line == "\r\n";
}

// ">From ", ">>From " ...: a line of the message that the mail program quoted.
bool isQuotedSeparator(QByteArrayView line)
{
    qsizetype i = 0;
    while (i < line.size() && line.at(i) == '>')
        ++i;
    return i > 0 && line.sliced(i).startsWith("From ");
}

} // namespace

bool looksLikeMailbox(QByteArrayView firstLine)
{
    static const QRegularExpression fromLine(QStringLiteral("^From \\S+ .*\\b\\d{1,2}:\\d{2}\\b"));
    return firstLine.startsWith("From ") && fromLine.match(QString::fromLatin1(firstLine)).hasMatch();
}

MailboxReader::MailboxReader(QIODevice& device, qint64 maxMessageBytes)
    : m_device(device)
    , m_maxMessageBytes(maxMessageBytes)
{
}

QByteArray MailboxReader::readLine()
{
    QByteArray line = m_device.readLine();
    if (line.isEmpty() && !m_device.atEnd())
        m_error = QStringLiteral("reading failed (%1)").arg(m_device.errorString());
    return line;
}

std::optional<MailboxMessage> MailboxReader::next()
{
    if (m_ended)
        return std::nullopt;
    if (!m_started) {
        m_started = true;
        // Whatever stands before the first "From " line is no message.
        QByteArray line;
        do
            line = readLine();
        while (!line.isEmpty() && !isSeparator(line));
        if (line.isEmpty()) {
            m_ended = true;
            return std::nullopt;
        }
    }
    MailboxMessage message;
    bool lastLineEmpty = false;
    for (;;) {
        QByteArray line = readLine();
        if (line.isEmpty()) {
            m_ended = true;
            if (!m_error.isEmpty())
                return std::nullopt;
            break;
        }
        if (lastLineEmpty && isSeparator(line))
            break;
        lastLineEmpty = isEmptyLine(line);
        if (isQuotedSeparator(line))
            line.remove(0, 1);
        if (message.bytes.size() + line.size() > m_maxMessageBytes)
            message.tooLarge = true;
        if (!message.tooLarge)
            message.bytes += line;
    }
    // The empty line before the next "From " line separates the messages.
    if (lastLineEmpty && !message.tooLarge)
        message.bytes.chop(message.bytes.endsWith("\r\n") ? 2 : 1);
    return message;
}
