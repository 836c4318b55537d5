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
    if (contents.fault) {
        using Kind = InputFile::Fault::Kind;
        using Cause = DefinitionsFault::Cause;
        const Kind kind = contents.fault->kind;
        loaded.fault = DefinitionsFault {kind == Kind::CannotOpen       ? Cause::CannotOpen
                                             : kind == Kind::ReadFailed ? Cause::ReadFailed
                                                                        : Cause::Contents,
                                         0, contents.fault->reason};
    } else {
        loaded = parseAlternatives(contents.bytes);
    }
    loaded.path = path;
    return loaded;
}

LoadedAlternatives parseAlternatives(const QByteArray& contents)
{
    LoadedAlternatives loaded;
    const auto fail = [&loaded](int line, const QString& reason) {
        loaded.fault = DefinitionsFault {DefinitionsFault::Cause::Contents, line, reason};
        return loaded;
    };

    const QString text = TextDecoding::markedUtf8OrWindows1252(contents);
    const QList<QStringView> lines = dataFileLines(text);
    if (lines.isEmpty())
        return fail(1, QStringLiteral("the file is empty"));
    if (!lines.first().contains(u'\t'))
        return fail(1, QStringLiteral("the header line has no TAB"));

    QHash<QString, int> lineOfPhrase;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringView line = lines.at(i);
        const int lineNumber = int(i + 1);
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0)
            continue;
        const QString phrase = withoutOuterSpaces(line.first(tab)).toString();
        if (phrase.isEmpty())
            continue;
        const QString key = phrase.toCaseFolded();
        if (const auto earlier = lineOfPhrase.constFind(key); earlier != lineOfPhrase.cend())
            return fail(lineNumber,
                        QStringLiteral("\"%1\" has its wordings on line %2 already").arg(phrase).arg(*earlier));

        QStringList wordings;
        // A TAB left at the end of a line, or two in a row, gives an empty field, which is passed over.
        for (const QStringView field : line.sliced(tab + 1).split(u'\t')) {
            const QStringView wording = withoutOuterSpaces(field);
            if (!wording.isEmpty())
                wordings.append(wording == RemovalMark ? QString() : wording.toString());
        }
        if (wordings.isEmpty())
            return fail(lineNumber, QStringLiteral("\"%1\" has no wording").arg(phrase));
        if (wordings.size() > MaxWordings)
            return fail(lineNumber, QStringLiteral("\"%1\" has more than four wordings").arg(phrase));
        lineOfPhrase.insert(key, lineNumber);
        loaded.wordings.insert(key, wordings);
    }
    if (loaded.wordings.isEmpty() && endsLinesWithLineFeedsOnly(text))
        return fail(0,
                    QStringLiteral("the file holds no wordings (its lines end with a line feed alone; they must "
                                   "end with CR LF or CR)"));
    return loaded;
}

void attachAlternatives(PhraseTable& table, const QHash<QString, QStringList>& wordings)
{
    if (wordings.isEmpty())
        return;
    for (qsizetype i = 0; i < table.size(); ++i) {
        if (const auto found = wordings.constFind(table.at(i).phrase.toCaseFolded()); found != wordings.cend())
            table.setAlternatives(i, *found);
    }
}
