#pragma once

#include "messagefile/EmlMessage.h"

#include <QString>

#include <optional>

class QByteArray;

// What the mail reader module (GMime and libxml2, loaded only when a message needs them) offers the
// program: the readers behind readEmlMessage and htmlToPlainText.
struct MailReaderFunctions
{
    // Raised whenever these functions change, so that a module of another build is refused.
    static constexpr int CurrentVersion = 1;
    int version;
    EmlMessage (*readEmlMessage)(const QByteArray& bytes);
    std::optional<QString> (*htmlToPlainText)(const QString& html);
};

// The name of the one function the module exports.
#define TALLYVEX_MAIL_READER_ENTRY "tallyvexMailReaderFunctions"
