#include "cli/MessageFeed.h"

#include "cli/ExitStatus.h"
#include "cli/NativePath.h"

#include <QBuffer>

namespace {

// A message or body too large to read is refused like one that cannot be opened.
int exitStatusFor(const InputFile::Fault& fault)
{
    return fault.kind == InputFile::Fault::Kind::ReadFailed ? ExitStatus::IoError : ExitStatus::NoInput;
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
    return file == u'-'  ? QStringLiteral("standard input")
        : file.isEmpty() ? QStringLiteral("\"\"")
                         : NativePath::visible(file);
}

ReadMessage readFault(const QString& file, const InputFile::Fault& fault)
{
    return faultOf(file, 0, exitStatusFor(fault),
                   QStringLiteral("Cannot read %1: %2").arg(displayName(file), fault.reason));
}

// Reads one message; with `places`, also where its text lies in the file, for reports that point at it.
ReadMessage readBytes(const QString& file, qsizetype number, const QByteArray& bytes, MessageFormat format, bool places)
{
    ReadMessage read;
    read.file = file;
    read.number = number;
    if (places)
        read.message = readLocatedMessage(bytes, format);
    else
        read.message.text = readMessage(bytes, format);
    if (!read.message.text.isValid()) {
        read.faultStatus = ExitStatus::DataError;
        read.fault = QStringLiteral("Cannot read the message %1: %2")
                         .arg(NativePath::visible(read.name()), read.message.text.error);
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
        m_foundInMailboxes += mailbox.number > 0;
        const QString sentence
            = QStringLiteral("Cannot read %1: %2")
                  .arg(displayName(file),
                       failed ? mailbox.reader.error()
                              : QStringLiteral("it holds no message (no \"From \" line starts one)"));
        return [file, sentence, failed] {
            return faultOf(file, 0, failed ? ExitStatus::IoError : ExitStatus::DataError, sentence);
        };
    }
    mailbox.ahead = mailbox.reader.next();
    ++mailbox.number;
    const bool onlyMessage = mailbox.number == 1 && !mailbox.ahead && mailbox.reader.error().isEmpty();
    const qsizetype number = onlyMessage ? 0 : mailbox.number;
    // The walk counted the file itself, which stands for its first message.
    m_foundInMailboxes += mailbox.number > 1;
    if (message->tooLarge) {
        return [file, number] {
            ReadMessage read = faultOf(file, number, ExitStatus::NoInput, {});
            read.fault = QStringLiteral("Cannot read %1: the message is larger than %2 MiB")
                             .arg(NativePath::visible(read.name()))
                             .arg(InputFile::MaxMessageBytes / InputFile::MiB);
            return read;
        };
    }
    // A message of a mailbox does not start at the file's first line: no place in the file is pointed at.
    return [file, number, bytes = message->bytes] { return readBytes(file, number, bytes, MessageFormat::Eml, false); };
}

bool MessageFeed::openMailbox(const InputSource& input, std::unique_ptr<QIODevice>& device, bool mayPeek)
{
    const bool forced = input.named && (m_options.mailbox || m_options.format);
    if (forced && !m_options.mailbox)
        return false;
    if (!forced) {
        if (!mayPeek)
            return false;
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
    if (input.fault)
        return [file, fault = *input.fault] { return readFault(file, fault); };
    const bool forced = input.named && m_options.format;
    const MessageFormat format = forced ? *m_options.format : messageFormatOf(file).value_or(MessageFormat::Text);
    // A mailbox is told by its first line in files named as saved e-mails or not named as messages at all;
    // text and HTML files are what their names say.
    const bool mayBeMailbox = (input.named && m_options.mailbox)
        || (!forced && messageFormatOf(file).value_or(MessageFormat::Eml) == MessageFormat::Eml);
    if (input.isStandardInput()) {
        InputFile::Contents contents = m_standardInput(InputFile::MaxMessageBytes);
        if (contents.fault)
            return [file, fault = *contents.fault] { return readFault(file, fault); };
        auto buffer = std::make_unique<QBuffer>();
        buffer->setData(contents.bytes);
        buffer->open(QIODevice::ReadOnly);
        std::unique_ptr<QIODevice> device = std::move(buffer);
        if (openMailbox(input, device, true))
            return {};
        return [file, bytes = contents.bytes, format, places = m_options.places] {
            return readBytes(file, 0, bytes, format, places);
        };
    }
    // Each file is opened once, here, and read from what was opened. A named pipe found in a folder is
    // opened without waiting for a writer and passed by, as is anything else that is not a regular file.
    NativePath::OpenedInput opened = NativePath::open(file, input.named);
    if (opened.fault)
        return [file, fault = *opened.fault] { return readFault(file, fault); };
    if (!opened.regular && !input.named) {
        return [file] {
            ReadMessage read;
            read.file = file;
            read.note = QStringLiteral("Passed by %1: it is not a regular file").arg(displayName(file));
            return read;
        };
    }
    std::unique_ptr<QIODevice> device = std::move(opened.device);
    if (mayBeMailbox && openMailbox(input, device, opened.regular))
        return {};
    return [file, format, places = m_options.places, device = std::shared_ptr<QIODevice>(std::move(device))] {
        const InputFile::Contents contents = InputFile::read(*device, InputFile::MaxMessageBytes);
        return contents.fault ? readFault(file, *contents.fault) : readBytes(file, 0, contents.bytes, format, places);
    };
}
