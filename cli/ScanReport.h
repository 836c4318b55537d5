#pragma once

#include "scanner/ScanSession.h"

#include <QJsonObject>
#include <QString>

// Everything one run of the command-line scanner has to tell.
struct ScanReport
{
    const ScanResults& results;
    const QList<Occurrence>& occurrences;
    bool stepThrough = false;
    QString definitionsPath;
    qsizetype phrasesLoaded = 0;
    // For a saved e-mail, the kind of part the body came from ("text/plain" or "text/html"); else empty.
    QString messagePart;

    // The verdict, the score and percentage captions, the phrases and each occurrence, for people.
    QString toText() const;
    QJsonObject toJson() const;
};
