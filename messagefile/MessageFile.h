#pragma once

#include "messagefile/MessageText.h"

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

// The format a file's name says: ".eml", ".html" or ".htm", ".txt" (in any case); nothing for other names.
std::optional<MessageFormat> messageFormatOf(QStringView path);

// Reads a message file held in memory; the callers read files with their own checks and limits. Text and
// HTML files are decoded by their byte-order mark, else as UTF-8; an HTML page gives its title as the
// subject. Never throws: what cannot be used comes back with `error` set.
MessageText readMessage(const QByteArray& bytes, MessageFormat format);
