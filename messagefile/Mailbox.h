#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

class QIODevice;

// True for a mailbox file's first line: "From ", the sender and a time of day, as mail programs write the
// line that starts each message. A letter that merely begins with the word "From" is no mailbox.
bool looksLikeMailbox(QByteArrayView firstLine);

// One message of a mailbox file, its "From " line left out and quoted ">From " lines unquoted.
struct MailboxMessage
{
    QByteArray bytes;
    // The message went past the size limit: `bytes` holds only its start and must not be rated.
    bool tooLarge = false;
};

// Splits a mailbox file into its messages as it reads it, so a mailbox of any size is read holding one
// message at a time. A message starts at a "From " line at the start of the file or after an empty line;
// one ">" is taken off each line that reads ">From ", ">>From " and so on.
class MailboxReader
{
public:
    MailboxReader(QIODevice& device, qint64 maxMessageBytes);

    // The next message; nothing at the end of the file or when reading failed (see `error`).
    std::optional<MailboxMessage> next();
    // Why reading failed; empty while it has not.
    const QString& error() const { return m_error; }

private:
    // The next line with its line end; empty at the end of the file or on a failure.
    QByteArray readLine();

    QIODevice& m_device;
    qint64 m_maxMessageBytes;
    bool m_started = false;
    bool m_ended = false;
    QString m_error;
};
