#include "messagefile/Mailbox.h"

#include <QBuffer>
#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdlib>
#include <utility>

// Splits any bytes as a mailbox, then writes messages taken from them into a mailbox the way mail programs
// do and splits that again. Neither may crash or draw a sanitizer finding; a message is never larger than
// the limit, the messages never hold more than the file, and only the file's end can cut one short; the
// written mailbox gives back exactly the messages written into it.
namespace {

constexpr qint64 Limit = 2048;
const QByteArray Separator = "From fuzz@example.com Mon Jan  1 10:00:00 2024\n";

struct Split
{
    QList<MailboxMessage> messages;
    QString error;
};

Split split(const QByteArray& mailbox, qint64 limit)
{
    QBuffer buffer;
    buffer.setData(mailbox);
    buffer.open(QIODevice::ReadOnly);
    MailboxReader reader(buffer, limit);
    Split result;
    while (std::optional<MailboxMessage> message = reader.next())
        result.messages.append(std::move(*message));
    result.error = reader.error();
    return result;
}

bool mentionsContentLength(const QByteArray& bytes)
{
    return bytes.toLower().contains("content-length:");
}

void checkSplit(const QByteArray& mailbox)
{
    const Split result = split(mailbox, Limit);
    qsizetype total = 0;
    for (const MailboxMessage& message : result.messages) {
        if (message.bytes.size() > Limit || (message.tooLarge && !message.bytes.isEmpty()))
            std::abort();
        total += message.bytes.size();
    }
    if (total > mailbox.size())
        std::abort();
    // Held in memory, a mailbox neither fails nor shrinks: only its end can cut a message short, in the
    // middle of a line or of a counted body.
    if (!result.error.isEmpty() && mailbox.endsWith('\n') && !mentionsContentLength(mailbox))
        std::abort();
}

// A line that a mailbox must quote: ">From ", ">>From " ... or "From " at its start.
bool needsQuoting(QByteArrayView line)
{
    qsizetype i = 0;
    while (i < line.size() && line.at(i) == '>')
        ++i;
    return line.sliced(i).startsWith("From ");
}

// Messages from the bytes (parts between NUL bytes, each ending with a line end), as mail programs write
// them: a "From " line, the quoted message and an empty line. The first byte can make the first message's
// first line long (in one input of eight, as it costs time), so that the reader reads it in pieces and a
// piece ends among the bytes that follow.
void checkRoundTrip(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    QByteArray lead
        = bytes.front() % 8 == 1 ? QByteArray(MailboxReader::PieceBytes - uchar(bytes.front()) / 8, 'x') : QByteArray();
    QList<QByteArray> written;
    QByteArray mailbox;
    for (const QByteArray& part : bytes.sliced(1).toByteArray().split('\0')) {
        QByteArray message = std::exchange(lead, {}) + part;
        // A counted body is taken as its header says; such messages are checked by the first split only.
        if (mentionsContentLength(message))
            return;
        if (!message.endsWith('\n'))
            message += '\n';
        written.append(message);
        mailbox += Separator;
        for (qsizetype start = 0; start < message.size();) {
            const qsizetype end = message.indexOf('\n', start) + 1;
            const QByteArrayView line = QByteArrayView(message).sliced(start, end - start);
            if (needsQuoting(line))
                mailbox += '>';
            mailbox += line;
            start = end;
        }
        mailbox += '\n';
    }
    const Split result = split(mailbox, mailbox.size());
    if (result.messages.size() != written.size() || !result.error.isEmpty())
        std::abort();
    for (qsizetype i = 0; i < written.size(); ++i) {
        if (result.messages.at(i).bytes != written.at(i) || result.messages.at(i).tooLarge)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(data, qsizetype(size));
    checkSplit(bytes.toByteArray());
    checkRoundTrip(bytes);
    return 0;
}
