#include "cli/MessageFeed.h"

#include <QBuffer>
#include <QFileInfo>

namespace {

// A message or body too large to read is refused like one that cannot be opened.
int exitStatusFor(const InputFile::Fault& fault)
{
    return fault.kind == InputFile::Fault::Kind::ReadFailed ? 74 : 66;
}

ReadMessage faultOf(const QString& file, qsizetype number, int status, const QString& sentence)
{
    ReadMessage read;
    read.file = file;
    read.number = number;
    read.faultStatus = status;
    read.fault = sentence;
    return read;
}

QString displayName(const QString& file)
{
    return file == u'-' ? QStringLiteral("standard input") : file.isEmpty() ? QStringLiteral("\"\"") : file;
}

ReadMessage readFault(const QString& file, const InputFile::Fault& fault)
{
    return faultOf(file, 0, exitStatusFor(fault),
                   QStringLiteral("Cannot read %1: %2").arg(displayName(file), fault.reason));
}

ReadMessage readBytes(const QString& file, qsizetype number, const QByteArray& bytes, MessageFormat format)
{
    ReadMessage read;
    read.file = file;
    read.number = number;
    read.message = readLocatedMessage(bytes, format);
    if (!read.message.text.isValid()) {
        read.faultStatus = 65;
        read.fault = QStringLiteral("Cannot read the message %1: %2").arg(read.name(), read.message.text.error);
    }
    return read;
}

} // namespace

struct MessageFeed::OpenMailbox
{
    OpenMailbox(QString file, std::unique_ptr<QIODevice> opened)
        : file(std::move(file))
        , device(std::move(opened))
        , reader(*device, InputFile::MaxMessageBytes)
    {
    }

    QString file;
    std::unique_ptr<QIODevice> device;
    MailboxReader reader;
    // Messages given out so far, and the next one, read ahead.
    qsizetype number = 0;
    std::optional<MailboxMessage> ahead;
    bool ended = false;
};

MessageFeed::MessageFeed(const QStringList& names, ReadOptions options, StandardInput standardInput)
    : m_walk(names.isEmpty() ? QStringList {QStringLiteral("-")} : names)
    , m_options(options)
    , m_standardInput(std::move(standardInput))
{
}

MessageFeed::~MessageFeed() = default;

std::optional<MessageFeed::Work> MessageFeed::next()
{
    for (;;) {
        if (m_mailbox) {
            if (Work work = nextOfMailbox())
                return work;
            m_mailbox.reset();
        }
        const std::optional<InputSource> input = m_walk.next();
        if (!input)
            return std::nullopt;
        if (Work work = startInput(*input))
            return work;
    }
}

MessageFeed::Work MessageFeed::nextOfMailbox()
{
    OpenMailbox& mailbox = *m_mailbox;
    // One message is read ahead, so that a mailbox of one message is reported as the file it is.
    if (mailbox.number == 0 && !mailbox.ended)
        mailbox.ahead = mailbox.reader.next();
    const std::optional<MailboxMessage> message = std::exchange(mailbox.ahead, std::nullopt);
    const QString file = mailbox.file;
    if (!message) {
        // The end: quietly after the last message; said once when the mailbox held none or reading failed.
        if (std::exchange(mailbox.ended, true) || (mailbox.reader.error().isEmpty() && mailbox.number > 0))
            return {};
        const bool failed = !mailbox.reader.error().isEmpty();
        const QString sentence
            = QStringLiteral("Cannot read %1: %2")
                  .arg(displayName(file),
                       failed ? mailbox.reader.error()
                              : QStringLiteral("it holds no message (no \"From \" line starts one)"));
        return [file, sentence, failed] { return faultOf(file, 0, failed ? 74 : 65, sentence); };
    }
    mailbox.ahead = mailbox.reader.next();
    ++mailbox.number;
    const bool onlyMessage = mailbox.number == 1 && !mailbox.ahead && mailbox.reader.error().isEmpty();
    const qsizetype number = onlyMessage ? 0 : mailbox.number;
    ++m_mailboxMessages;
    if (message->tooLarge) {
        return [file, number] {
            ReadMessage read = faultOf(file, number, 66, {});
            read.fault = QStringLiteral("Cannot read %1: the message is larger than %2 MiB")
                             .arg(read.name())
                             .arg(InputFile::MaxMessageBytes / InputFile::MiB);
            return read;
        };
    }
    return [file, number, bytes = message->bytes] { return readBytes(file, number, bytes, MessageFormat::Eml); };
}

bool MessageFeed::openMailbox(const InputSource& input, std::unique_ptr<QIODevice> device)
{
    const bool forced = input.named && (m_options.mailbox || m_options.format);
    if (forced && !m_options.mailbox)
        return false;
    if (!forced) {
        // Only the first line tells a mailbox; what was peeked at is read again from the start.
        const QByteArray firstLine = device->peek(1024);
        if (!looksLikeMailbox(QByteArrayView(firstLine).first(std::max<qsizetype>(0, firstLine.indexOf('\n')))))
            return false;
    }
    m_mailbox = std::make_unique<OpenMailbox>(input.path, std::move(device));
    return true;
}

MessageFeed::Work MessageFeed::startInput(const InputSource& input)
{
    const QString file = input.path;
    const bool forced = input.named && m_options.format;
    const MessageFormat format = forced ? *m_options.format : messageFormatOf(file).value_or(MessageFormat::Text);
    if (input.isStandardInput()) {
        InputFile::Contents contents = m_standardInput(InputFile::MaxMessageBytes);
        if (contents.fault)
            return [file, fault = *contents.fault] { return readFault(file, fault); };
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(contents.bytes);
        buffer->open(QIODevice::ReadOnly);
        if (openMailbox(input, std::move(buffer)))
            return {};
        return [file, bytes = contents.bytes, format] { return readBytes(file, 0, bytes, format); };
    }
    // A mailbox is told by its first line in files named as saved e-mails or not named as messages at all;
    // text and HTML files are what their names say. Only regular files are looked into: peeking at a pipe
    // would take what its reader is owed.
    const std::optional<MessageFormat> named = messageFormatOf(file);
    const bool mayBeMailbox
        = (input.named && m_options.mailbox) || (!forced && named.value_or(MessageFormat::Eml) == MessageFormat::Eml);
    // What a folder's walk found is a regular file already.
    if (mayBeMailbox && (!input.named || QFileInfo(file).isFile())) {
        auto device = std::make_unique<QFile>(file);
        if (device->open(QIODevice::ReadOnly) && openMailbox(input, std::move(device)))
            return {};
    }
    return [file, format] {
        const InputFile::Contents contents
            = InputFile::read(file, InputFile::MaxMessageBytes, InputFile::Accept::FilesAndStreams);
        return contents.fault ? readFault(file, *contents.fault) : readBytes(file, 0, contents.bytes, format);
    };
}
