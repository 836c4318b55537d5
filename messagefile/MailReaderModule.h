#pragma once

#include "messagefile/EmlMessage.h"
#include "messagefile/HtmlText.h"

// What the mail reader module (GMime and libxml2, loaded only when a message needs them) offers the
// program: the readers behind readEmlMessage and readHtmlDocument.
struct MailReaderFunctions
{
    // Raised whenever these functions change, so that a module of another build is refused.
    static constexpr int CurrentVersion = 3;
    int version;
    MessageText (*readEmlMessage)(const QByteArray& bytes);
    std::optional<HtmlDocument> (*readHtmlDocument)(const QByteArray& html, HtmlPositions positions);
};

// Why the module cannot be used; empty once it is loaded. Loads it at the first call.
QString mailReaderFault();

// The name of the one function the module exports.
#define TALLYVEX_MAIL_READER_ENTRY "tallyvexMailReaderFunctions"
