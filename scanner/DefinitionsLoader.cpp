#include "scanner/DefinitionsLoader.h"

#include "scanner/AlternativesLoader.h"

#include "textio/DataFileLines.h"
#include "textio/OuterSpaces.h"
#include "textio/TextDecoding.h"

#include <QDir>
#include <QFileInfo>

#include <charconv>
#include <cmath>
#include <string>

namespace {

// A weight beyond this magnitude would let the score outgrow the captions it is read back from.
constexpr double MaxWeightMagnitude = 1'000'000.0;
static_assert(PhraseTable::MaxEntries == 32768, "the fault message names the limit");

// A number written with a decimal point (an optional sign, digits and at most one point), read without
// asking any locale: most definitions files hold only such weights, and reading thousands of them is part
// of every start.
std::optional<double> readPointNumber(QStringView text)
{
    std::string latin;
    latin.reserve(std::size_t(text.size()));
    bool digits = false;
    bool point = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (unit >= u'0' && unit <= u'9') {
            digits = true;
        } else if (unit == u'.' && !point) {
            point = true;
        } else if (i > 0 || (unit != u'+' && unit != u'-')) {
            return std::nullopt;
        }
        if (unit != u'+')
            latin.push_back(char(unit));
    }
    if (!digits)
        return std::nullopt;
    double weight = 0;
    const auto [end, error] = std::from_chars(latin.data(), latin.data() + latin.size(), weight);
    if (error != std::errc() || end != latin.data() + latin.size())
        return std::nullopt;
    return weight;
}

std::optional<double> readWeight(const QString& text, const QLocale& locale)
{
    // Read as a decimal point first, or "0.125" would be one hundred and twenty-five where "." groups
    // thousands.
    std::optional<double> weight = readPointNumber(text);
    if (!weight) {
        bool ok = false;
        weight = locale.toDouble(text, &ok);
        if (!ok)
            return std::nullopt;
    }
    if (!std::isfinite(*weight))
        return std::nullopt;
    return weight;
}

} // namespace

DefinitionsFault DefinitionsFault::inContents(int line, const QString& reason)
{
    return DefinitionsFault {Cause::Contents, line, reason};
}

DefinitionsFault DefinitionsFault::ofReading(const InputFile::Fault& fault)
{
    using Kind = InputFile::Fault::Kind;
    const Cause cause = fault.kind == Kind::CannotOpen ? Cause::CannotOpen
        : fault.kind == Kind::ReadFailed               ? Cause::ReadFailed
                                                       : Cause::Contents;
    return DefinitionsFault {cause, 0, fault.reason};
}

QString DefinitionsFault::describe(const QString& path) const
{
    if (cause == Cause::NotFound)
        return reason;
    if (line == 0)
        return QStringLiteral("%1: %2").arg(path, reason);
    return QStringLiteral("%1, line %2: %3").arg(path).arg(line).arg(reason);
}

QString definitionsPathIn(const QString& programFolder)
{
    return programFolder + QStringLiteral("/Definitions.dat");
}

QStringList definitionsCandidates(const QString& programFolder)
{
    return {definitionsPathIn(programFolder),
            QDir::cleanPath(programFolder + QStringLiteral("/../share/tallyvex/Definitions.dat"))};
}

QString findDefinitions(const QString& programFolder, QStringList* tried)
{
    const QStringList candidates = definitionsCandidates(programFolder);
    if (tried)
        tried->clear();
    for (const QString& candidate : candidates) {
        if (tried)
            tried->append(candidate);
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return {};
}

QString describeMissingDefinitions(const QStringList& tried)
{
    return QStringLiteral("Definitions.dat was not found; looked for %1").arg(tried.join(QStringLiteral(" and ")));
}

LoadedDefinitions loadDefinitionsFile(const QString& path, const QLocale& locale, InputFile::Accept accept)
{
    const InputFile::Contents contents = InputFile::read(path, InputFile::MaxDefinitionsBytes, accept);
    LoadedDefinitions loaded;
    if (contents.fault)
        loaded.fault = DefinitionsFault::ofReading(*contents.fault);
    else
        loaded = parseDefinitions(contents.bytes, locale);
    loaded.path = path;
    return loaded;
}

LoadedDefinitions loadDefinitions(const std::optional<QString>& path,
                                  const QString& programFolder,
                                  const QLocale& locale,
                                  InputFile::Accept accept,
                                  PlainerWordings wordings)
{
    QStringList tried;
    const QString found = path ? *path : findDefinitions(programFolder, &tried);
    if (path || !found.isEmpty()) {
        LoadedDefinitions loaded = loadDefinitionsFile(found, locale, accept);
        if (wordings == PlainerWordings::Read && loaded.table.hasPhrases()) {
            LoadedAlternatives alternatives = loadAlternativesFile(alternativesPathBeside(found));
            attachAlternatives(loaded.table, alternatives.wordings);
            loaded.alternativesPath = alternatives.path;
            loaded.alternativesFault = alternatives.fault;
        }
        return loaded;
    }
    LoadedDefinitions missing;
    missing.fault = DefinitionsFault {DefinitionsFault::Cause::NotFound, 0, describeMissingDefinitions(tried)};
    return missing;
}

LoadedDefinitions parseDefinitions(const QByteArray& contents, const QLocale& locale)
{
    LoadedDefinitions loaded;
    const QString text = TextDecoding::markedUtf8OrWindows1252(contents);
    const auto fail = [](int line, const QString& reason) { return DefinitionsFault::inContents(line, reason); };
    loaded.fault = walkPhraseLines(
        text, [&](int lineNumber, const QString& phrase, QStringView rest) -> std::optional<DefinitionsFault> {
            if (!loaded.table.canStore())
                return fail(lineNumber, QStringLiteral("more than 32,768 trigger phrases"));
            loaded.table.storePhrase(phrase);
            const QString weightText = withoutOuterSpaces(rest).toString();
            const std::optional<double> weight = readWeight(weightText, locale);
            if (!weight)
                return fail(lineNumber, QStringLiteral("the weight \"%1\" is not a number").arg(weightText));
            if (std::abs(*weight) > MaxWeightMagnitude)
                return fail(lineNumber,
                            QStringLiteral("the weight \"%1\" is out of range (at most 1,000,000 either "
                                           "way)")
                                .arg(weightText));
            loaded.table.setLastWeight(*weight);
            return std::nullopt;
        });
    if (!loaded.fault && !loaded.table.hasPhrases()) {
        // The usual cause: lines saved with a line feed alone, which the format does not take as a line end.
        loaded.fault = fail(0,
                            endsLinesWithLineFeedsOnly(text)
                                ? QStringLiteral("the file contains no trigger phrases (its lines end with a "
                                                 "line feed alone; they must end with CR LF or CR)")
                                : QStringLiteral("the file contains no trigger phrases"));
    }
    return loaded;
}

std::optional<DefinitionsFault> walkPhraseLines(QStringView text, const PhraseLineTaker& take)
{
    const QList<QStringView> lines = dataFileLines(text);
    if (lines.isEmpty())
        return DefinitionsFault::inContents(1, QStringLiteral("the file is empty"));
    // The header's value after its TAB is nothing the programs use; only the TAB is required.
    if (!lines.first().contains(u'\t'))
        return DefinitionsFault::inContents(1, QStringLiteral("the header line has no TAB"));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringView line = lines.at(i);
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0)
            continue;
        const QString phrase = withoutOuterSpaces(line.first(tab)).toString();
        if (phrase.isEmpty())
            continue;
        if (std::optional<DefinitionsFault> fault = take(int(i + 1), phrase, line.sliced(tab + 1)))
            return fault;
    }
    return std::nullopt;
}
