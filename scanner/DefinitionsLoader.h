#pragma once

#include "scanner/PhraseTable.h"
#include "textio/InputFile.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// Why reading the definitions file stopped early. Line 0 means the fault is not tied to a line.
struct DefinitionsFault
{
    enum class Cause
    {
        // No file was named, and none was found where the program's own definitions are looked for.
        NotFound,
        // The file does not exist, cannot be opened, or is not a file that can be read.
        CannotOpen,
        // Reading failed part-way; nothing of the file is used.
        ReadFailed,
        // What the file holds: its size, its header, a weight, or no trigger phrase at all.
        Contents,
    };
    Cause cause = Cause::Contents;
    int line = 0;
    QString reason;

    // "FILE, line N: REASON", or "FILE: REASON" when the fault is not tied to a line; the reason alone when no
    // file was found.
    QString describe(const QString& path) const;

    // What a file holds, at `line`.
    static DefinitionsFault inContents(int line, const QString& reason);
    // Why the file could not be read.
    static DefinitionsFault ofReading(const InputFile::Fault& fault);
};

struct LoadedDefinitions
{
    // The file read; empty when none was found.
    QString path;
    PhraseTable table;
    // Set when reading stopped early; the entries read before the fault stay in the table.
    std::optional<DefinitionsFault> fault;
    // The alternatives file beside the definitions, when there is one, and why it could not be read in full:
    // the scan does without the wordings it lacks.
    QString alternativesPath;
    std::optional<DefinitionsFault> alternativesFault;
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

// Whether the plainer wordings of the alternatives file beside the definitions are read with them: a
// program that shows no wording need not read them.
enum class PlainerWordings
{
    Read,
    Leave
};

// The definitions every program reads: the file at `path`, or without one the definitions the program ships
// with, found as findDefinitions finds them in `programFolder`; and with them the plainer wordings of the
// alternatives file beside them, when there is one and they are asked for.
LoadedDefinitions loadDefinitions(const std::optional<QString>& path,
                                  const QString& programFolder,
                                  const QLocale& locale,
                                  InputFile::Accept accept = InputFile::Accept::RegularFiles,
                                  PlainerWordings wordings = PlainerWordings::Read);

// Reads a definitions file of at most 64 MiB: a header line holding a TAB, then lines of phrase TAB
// weight. Lines end at CR or CR LF; a lone LF does not end a line. The text is decoded by its byte-order
// mark, else as UTF-8, else as Windows-1252. A weight of digits with at most one "." (like 0.125 or
// -2.000) is read with "." as the decimal point; any other weight by the given locale's number rules, so
// one file serves every user. A file that yields no trigger phrase is a fault. A read fault leaves the
// table empty. Never throws: problems come back as the fault.
LoadedDefinitions loadDefinitionsFile(const QString& path,
                                      const QLocale& locale = QLocale::system(),
                                      InputFile::Accept accept = InputFile::Accept::RegularFiles);

// The same rules applied to the file's contents, already read into memory.
LoadedDefinitions parseDefinitions(const QByteArray& contents, const QLocale& locale = QLocale::system());

// Takes a line of a data file that names a phrase: its 1-based number, the phrase and the text after the TAB;
// a fault stops the walk there.
using PhraseLineTaker
    = std::function<std::optional<DefinitionsFault>(int lineNumber, const QString& phrase, QStringView rest)>;

// Walks the decoded text of a data file in the definitions' format (the definitions, the plainer wordings):
// after a header line that must hold a TAB, every line with a phrase before its first TAB (spaces trimmed)
// goes to `take`; lines without a TAB or without a phrase are passed over. An empty file, a header without a
// TAB and a fault of `take` end the walk with that fault.
std::optional<DefinitionsFault> walkPhraseLines(QStringView text, const PhraseLineTaker& take);
