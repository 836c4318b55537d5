#pragma once

#include <QString>
#include <QStringList>

class PhraseTable;
struct Occurrence;

// Plainer wordings as they go in place of an occurrence of their phrase. The alternatives file writes them
// as the definitions write phrases, in small letters; an occurrence that starts with a capital (at the start
// of a sentence, in a title) gets wordings that start with one too. Only the first letter follows the
// occurrence: a wording in capitals throughout would keep the shouting the scan counts against.
namespace WordingCase {

// The wordings of the occurrence's phrase, fitted to the occurrence as written in the subject (as rated)
// or the body.
QStringList
forOccurrence(const PhraseTable& table, const Occurrence& occurrence, const QString& subject, const QString& body);

} // namespace WordingCase
