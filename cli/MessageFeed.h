#pragma once

#include "cli/InputWalk.h"
#include "messagefile/Mailbox.h"
#include "messagefile/MessageFile.h"
#include "textio/InputFile.h"

#include <QFile>

#include <functional>
#include <memory>
#include <optional>

// One message ready to be rated, why its input cannot be used, or why it was passed by.
struct ReadMessage
{
    // The input as named or found; "-" for standard input.
    QString file;
    // 1-based number of the message in a mailbox file; 0 for a file that holds one message.
    qsizetype number = 0;
    LocatedMessage message;
    // The exit status and the sentence for an input that cannot be used; 0 when it was read.
    int faultStatus = 0;
    QString fault;
    // For an input found in a folder that holds no message to read, such as a named pipe: the sentence
    // for standard error. It is no fault.
    QString note;

    // FILE, or FILE#N for a message of a mailbox.
    QString name() const { return number > 0 ? file + u'#' + QString::number(number) : file; }
};

// How the files named on the command line are read; files found in folders are read by their names.
struct ReadOptions
{
    // Every file named is of this format, whatever its name says.
    std::optional<MessageFormat> format;
    // Every file named is a mailbox.
    bool mailbox = false;
    // Where the text of each file lies in it, for reports that point at an occurrence; a run that writes
    // no report needs none.
    bool places = true;
};

// Turns the inputs of a run into pieces of work, one message each, to be done on any thread: a file is
// read by its piece, a mailbox is split here as it is read, one message at a time.
class MessageFeed
{
public:
    using StandardInput = std::function<InputFile::Contents(qint64 maxBytes)>;
    using Work = std::function<ReadMessage()>;

    MessageFeed(const QStringList& names, ReadOptions options, StandardInput standardInput);
    ~MessageFeed();

    // The reading of the next message; nothing when every input is done.
    std::optional<Work> next();
    // Inputs found so far: files, and the messages of the mailboxes split so far.
    qsizetype found() const { return m_walk.found() + m_foundInMailboxes; }
    // All the inputs of the run, once no folder is left to list and no mailbox is being split; until then
    // nothing, since more may come.
    std::optional<qsizetype> total() const
    {
        return m_walk.allFound() && !m_mailbox ? std::optional(found()) : std::nullopt;
    }

private:
    struct OpenMailbox;

    Work nextOfMailbox();
    Work startInput(const InputSource& input);
    // Takes `device` as a mailbox when the options or its first line say it is one; the first line is
    // looked at only when `mayPeek`, since peeking at a pipe would take what its reader is owed.
    bool openMailbox(const InputSource& input, std::unique_ptr<QIODevice>& device, bool mayPeek);

    InputWalk m_walk;
    ReadOptions m_options;
    StandardInput m_standardInput;
    std::unique_ptr<OpenMailbox> m_mailbox;
    // What the mailboxes held beyond the one input that each file counts as.
    qsizetype m_foundInMailboxes = 0;
};
