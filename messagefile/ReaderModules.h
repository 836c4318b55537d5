#pragma once

#include "messagefile/EmlMessage.h"
#include "messagefile/HtmlText.h"

// What the reader modules offer the program. Each is loaded at the first message that needs it: the mail
// reader (GMime) at the first saved e-mail, the HTML reader (libxml2) at the first HTML page or HTML part
// of a saved e-mail. Each table's version is raised whenever the table changes, so that a module of
// another build is refused.

struct HtmlReaderFunctions
{
    static constexpr int CurrentVersion = 1;
    int version;
    std::optional<HtmlDocument> (*readHtmlDocument)(const QByteArray& html, HtmlPositions positions);
};

struct MailReaderFunctions
{
    static constexpr int CurrentVersion = 4;
    int version;
    MessageText (*readEmlMessage)(const QByteArray& bytes);
    // Filled in by the program when it loads the module: the mail reader reads an HTML part with the
    // program's own readHtmlDocument and htmlReaderFault, which load the HTML reader then.
    std::optional<HtmlDocument> (*readHtmlDocument)(const QByteArray& html, HtmlPositions positions);
    QString (*htmlReaderFault)();
};

// The names of the one function each module exports.
#define TALLYVEX_HTML_READER_ENTRY "tallyvexHtmlReaderFunctions"
#define TALLYVEX_MAIL_READER_ENTRY "tallyvexMailReaderFunctions"
