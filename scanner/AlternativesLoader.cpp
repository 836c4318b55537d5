#include "scanner/AlternativesLoader.h"

#include "textio/DataFileLines.h"
#include "textio/InputFile.h"
#include "textio/OuterSpaces.h"
#include "textio/TextDecoding.h"

#include <QDir>
#include <QFileInfo>

namespace {

// More would crowd the context menu and the editor's list of quick fixes.
constexpr qsizetype MaxWordings = 4;
// What a line writes for the wording that takes the phrase out.
constexpr QStringView RemovalMark = u"(remove)";

} // namespace

QString alternativesPathBeside(const QString& definitionsPath)
{
    return QFileInfo(definitionsPath).dir().filePath(QStringLiteral("Alternatives.dat"));
}

LoadedAlternatives loadAlternativesFile(const QString& path)
{
    if (!QFileInfo::exists(path))
        return {};
    const InputFile::Contents contents
        = InputFile::read(path, InputFile::MaxDefinitionsBytes, InputFile::Accept::RegularFiles);
    LoadedAlternatives loaded;
    if (contents.fault)
        loaded.fault = DefinitionsFault::ofReading(*contents.fault);
    else
        loaded = parseAlternatives(contents.bytes);
    loaded.path = path;
    return loaded;
}

LoadedAlternatives parseAlternatives(const QByteArray& contents)
{
    LoadedAlternatives loaded;
    const QString text = TextDecoding::markedUtf8OrWindows1252(contents);
    const auto fail = [](int line, const QString& reason) { return DefinitionsFault::inContents(line, reason); };
    std::unordered_map<QString, int, PhraseKeyHash> lineOfPhrase;
    loaded.fault = walkPhraseLines(
        text, [&](int lineNumber, const QString& phrase, QStringView rest) -> std::optional<DefinitionsFault> {
            const QString key = phrase.toCaseFolded();
            if (const auto earlier = lineOfPhrase.find(key); earlier != lineOfPhrase.end())
                return fail(
                    lineNumber,
                    QStringLiteral("\"%1\" has its wordings on line %2 already").arg(phrase).arg(earlier->second));
            QStringList wordings;
            // A TAB left at the end of a line, or two in a row, gives an empty field, which is passed over.
            for (const QStringView field : rest.split(u'\t')) {
                const QStringView wording = withoutOuterSpaces(field);
                if (!wording.isEmpty())
                    wordings.append(wording == RemovalMark ? QString() : wording.toString());
            }
            if (wordings.isEmpty())
                return fail(lineNumber, QStringLiteral("\"%1\" has no wording").arg(phrase));
            if (wordings.size() > MaxWordings)
                return fail(lineNumber, QStringLiteral("\"%1\" has more than four wordings").arg(phrase));
            lineOfPhrase.emplace(key, lineNumber);
            loaded.wordings.emplace(key, std::move(wordings));
            return std::nullopt;
        });
    if (!loaded.fault && loaded.wordings.empty() && endsLinesWithLineFeedsOnly(text))
        loaded.fault = fail(0,
                            QStringLiteral("the file holds no wordings (its lines end with a line feed alone; they "
                                           "must end with CR LF or CR)"));
    return loaded;
}

void attachAlternatives(PhraseTable& table, const WordingsByPhrase& wordings)
{
    if (wordings.empty())
        return;
    for (qsizetype i = 0; i < table.size(); ++i) {
        if (const auto found = wordings.find(table.at(i).phrase.toCaseFolded()); found != wordings.end())
            table.setAlternatives(i, found->second);
    }
}
