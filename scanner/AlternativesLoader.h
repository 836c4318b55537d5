#pragma once

#include "scanner/DefinitionsLoader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <string_view>
#include <unordered_map>

// Hashes a phrase's case-folded form as the standard library hashes bytes: Qt's seeded string hash, and the
// comparisons of an ordered map, cost more than the rest of reading the file, which every start does.
struct PhraseKeyHash
{
    std::size_t operator()(const QString& key) const noexcept
    {
        return std::hash<std::u16string_view> {}(
            std::u16string_view(reinterpret_cast<const char16_t*>(key.utf16()), std::size_t(key.size())));
    }
};

// The wordings of each phrase, best first, by the phrase's case-folded form; an empty wording removes the phrase.
using WordingsByPhrase = std::unordered_map<QString, QStringList, PhraseKeyHash>;

// The plainer wordings of the alternatives file that lies beside the definitions.
struct LoadedAlternatives
{
    // The file read; empty when there is none.
    QString path;
    WordingsByPhrase wordings;
    // Set when reading stopped early; the phrases read before the fault keep their wordings.
    std::optional<DefinitionsFault> fault;
};

// Alternatives.dat in the folder of the definitions file at `definitionsPath`.
QString alternativesPathBeside(const QString& definitionsPath);

// Reads an alternatives file by the rules of the definitions file (size limit, encodings, CR or CR LF line
// ends, a header line holding a TAB, lines without a TAB passed over): each further line is a phrase, a TAB
// and one to four wordings apart by TABs, "(remove)" standing for taking the phrase out. A file that does
// not exist is no fault: the file is optional. Never throws.
LoadedAlternatives loadAlternativesFile(const QString& path);

// The same rules applied to the file's contents, already read into memory.
LoadedAlternatives parseAlternatives(const QByteArray& contents);

// Gives every entry of `table` the wordings of its phrase, compared without regard to case as the scan
// compares; wordings for a phrase the table does not hold are passed over.
void attachAlternatives(PhraseTable& table, const WordingsByPhrase& wordings);
