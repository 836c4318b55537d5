#pragma once

#include <QString>

class QByteArray;

// The subject and body of a saved e-mail (Internet Message Format, ".eml"), as the two text boxes take them.
struct EmlMessage
{
    // The Subject header with its encoded words decoded; empty when the message has none.
    QString subject;
    // The first text/plain part, or the first HTML part as plain text when there is no plain part;
    // transfer encoding and character set undone, line breaks as LF.
    QString body;
    // "text/plain" or "text/html": the kind of part the body came from.
    QString partUsed;
    // Why the message cannot be used; empty when it was read.
    QString error;

    bool isValid() const { return error.isEmpty(); }
};

// Reads a message held in memory; the callers read files with their own checks and limits. Never throws: a
// malformed message comes back with `error` set.
EmlMessage readEmlMessage(const QByteArray& bytes);
