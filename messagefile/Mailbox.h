#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

class QIODevice;

// True for a line that starts a message in a mailbox file, as mail programs write it: "From ", the sender's
// address and the date and time the message arrived ("From sam@example.com Mon Jan  1 10:00:00 2024"). A
// letter that merely begins with the word "From" is no mailbox.
bool looksLikeMailbox(QByteArrayView firstLine);

// One message of a mailbox file, its "From " line left out and quoted ">From " lines unquoted.
struct MailboxMessage
{
    QByteArray bytes;
    // The message went past the size limit: `bytes` is empty and nothing of it must be rated.
    bool tooLarge = false;
};

// Splits a mailbox file into its messages as it reads it, so a mailbox of any size is read holding one
// message at a time, and no line is held longer than the size limit. A message starts at a "From " line
// (see looksLikeMailbox) at the start of the file or after an empty line; a body whose length a
// Content-Length header gives is taken whole when a "From " line or the end of the file follows it. One ">"
// is taken off each line that reads ">From ", ">>From " and so on.
class MailboxReader
{
public:
    // The most of a line read at once: a longer line is read in pieces, so that memory stays within the
    // size limit however long a line is. No "From " line is this long.
    static constexpr qint64 PieceBytes = 4 * 1024;

    MailboxReader(QIODevice& device, qint64 maxMessageBytes);

    // The next message; nothing at the end of the file, or when the message could not be read whole (see
    // `error`), so that nothing is rated from part of a message.
    std::optional<MailboxMessage> next();
    // Why reading failed, or why the file ended or shrank before its last message was complete; empty
    // while neither happened.
    const QString& error() const { return m_error; }

private:
    // A line, or the next part of one longer than a read takes.
    struct Piece
    {
        QByteArrayView bytes;
        // The piece starts a line, and ends it (with its line end, or at the end of the file).
        bool startsLine = false;
        bool endsLine = false;

        bool isEmptyLine() const;
        bool isSeparator() const;
    };

    // The next piece; nothing at the end of the file or when reading failed (see `m_failure`). Reads no
    // further than `end` when it is given.
    std::optional<Piece> readPiece(std::optional<qint64> end = std::nullopt);
    // Why the mailbox ended before the message being read was complete; empty when it ended where one may.
    QString faultAtEnd(bool bodyRunsPastEnd) const;
    // Whether a body of `length` bytes from where the reader stands ends where a message of a mailbox
    // ends: before a "From " line or at the end of the file, maybe after an empty line.
    bool separatorFollows(qint64 length);
    // Adds a piece to the message, within the size limit.
    void append(MailboxMessage& message, const Piece& piece) const;

    QIODevice& m_device;
    qint64 m_maxMessageBytes;
    // The size of the file when reading began; a file that shrinks while it is read has lost messages.
    std::optional<qint64> m_sizeAtStart;
    QByteArray m_buffer;
    bool m_atLineStart = true;
    // Messages begun so far, for naming the one that could not be read.
    qsizetype m_messages = 0;
    bool m_started = false;
    bool m_ended = false;
    QString m_failure;
    QString m_error;
};
