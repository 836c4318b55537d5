#pragma once

#include "messagefile/MessageText.h"
#include "messagefile/TextPosition.h"

#include <QStringView>

#include <optional>

class QByteArray;

// The kinds of file a message is kept in.
enum class MessageFormat
{
    Text, // the body as plain text
    Eml, // a saved e-mail (Internet Message Format)
    Html // an HTML page, such as a campaign template
};

// Whether this build reads saved e-mails and HTML pages; builds without GMime and libxml2 read text only.
bool readsMailFiles();

// The format a file's name says: ".eml", ".html" or ".htm", ".txt" (in any case); nothing for other names.
std::optional<MessageFormat> messageFormatOf(QStringView path);

// Reads a message file held in memory; the callers read files with their own checks and limits. Text and
// HTML files are decoded by their byte-order mark, else as UTF-8; an HTML page gives its title as the
// subject. Never throws: what cannot be used comes back with `error` set.
MessageText readMessage(const QByteArray& bytes, MessageFormat format);

// Where a message's text lies in its file, for pointing at a phrase: for text files and HTML pages the
// place in the file, for saved e-mails the Subject header's line alone.
class MessageSourceMap
{
public:
    MessageSourceMap() = default;
    // Places in the body text itself, which is the whole file: a text file holds no subject.
    explicit MessageSourceMap(const QString& body);
    // The place of each unit of the body given one by one.
    MessageSourceMap(QList<TextPosition> body, TextPosition subject);

    // The place of the body's unit at `index`; unknown past the end.
    TextPosition body(qsizetype index) const;
    // The stretch of the file that the body's `length` units from `index` were read from, when they stand
    // there as they are, one after another on one line (no tag, character reference or line break among
    // them), so that an edit of that stretch changes exactly those units; nothing otherwise.
    std::optional<TextSpan> bodySpan(qsizetype index, qsizetype length) const;
    // The Subject header's line, the title's first character; unknown for a subject given apart from the file.
    TextPosition subject() const { return m_subject; }

private:
    LineIndex m_bodyLines;
    QList<TextPosition> m_bodyPositions;
    bool m_positionsGiven = false;
    TextPosition m_subject;
};

struct LocatedMessage
{
    MessageText text;
    MessageSourceMap places;
};

// Reads a message as readMessage does, and where its text lies in the file.
LocatedMessage readLocatedMessage(const QByteArray& bytes, MessageFormat format);

// The 1-based line of the Subject header in a saved e-mail's header section; 0 when it has none.
qsizetype subjectHeaderLine(const QByteArray& message);
