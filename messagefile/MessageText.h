#pragma once

#include <QString>

// The subject and body of a message file, as the two text boxes take them.
struct MessageText
{
    // The Subject header (encoded words decoded) or the page's title; empty when the file has none.
    QString subject;
    // The text with line breaks as LF: a saved e-mail's first text/plain part, or its first HTML part as a
    // reader sees it; an HTML page as a reader sees it; a text file as it is.
    QString body;
    // For a saved e-mail, "text/plain" or "text/html": the kind of part the body came from.
    QString partUsed;
    // Why the file cannot be used; empty when it was read.
    QString error;

    bool isValid() const { return error.isEmpty(); }
};

// The text with CR LF and lone CR line ends made LF, as the body box keeps them.
QString withLineFeeds(QString text);
