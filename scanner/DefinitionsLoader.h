#pragma once

#include "PhraseTable.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

// Why reading the definitions file stopped early. Line 0 means no line could be read at all.
struct DefinitionsFault
{
    int line = 0;
    QString reason;

    // "FILE, line N: REASON", or "FILE: REASON" when the fault is not tied to a line.
    QString describe(const QString& path) const;
};

struct LoadedDefinitions
{
    PhraseTable table;
    // The header line's value, cut or padded with spaces to exactly three characters.
    QString headerTag;
    // Set when reading stopped early; the entries read before the fault stay in the table.
    std::optional<DefinitionsFault> fault;
};

// The definitions file beside the program.
QString definitionsPathIn(const QString& programFolder);

// Where the program looks for its definitions, in order: beside the program, as it always has, then in the
// shared data folder of an installed copy (../share/tallyvex relative to the program), so a copy installed
// under any prefix finds its file.
QStringList definitionsCandidates(const QString& programFolder);

// The first candidate that exists, or an empty string when none does; `tried` receives the candidates
// looked at, for the message that says where the file was looked for.
QString findDefinitions(const QString& programFolder, QStringList* tried = nullptr);

// What to tell the user when no candidate exists: the paths that were tried.
QString describeMissingDefinitions(const QStringList& tried);

// Reads a definitions file: a header line holding a TAB, then lines of phrase TAB weight. Lines end at
// CR or CR LF; a lone LF does not end a line. Weights are read by the given locale's number rules, and
// by the invariant rules ("." as decimal point) when the locale cannot read them, so one file serves
// every user. Never throws: problems come back as the fault.
LoadedDefinitions loadDefinitionsFile(const QString& path, const QLocale& locale = QLocale::system());

// The same rules applied to the file's contents, already read into memory.
LoadedDefinitions parseDefinitions(const QByteArray& contents, const QLocale& locale = QLocale::system());
