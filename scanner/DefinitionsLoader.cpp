#include "scanner/DefinitionsLoader.h"

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

// Splits at CR and CR LF only; the text after the last line end is a line of its own if it is not empty.
QList<QStringView> splitLines(QStringView text)
{
    QList<QStringView> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != u'\r')
            continue;
        lines.append(text.sliced(start, i - start));
        if (i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.sliced(start));
    return lines;
}

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
    if (!contents.fault) {
        loaded = parseDefinitions(contents.bytes, locale);
    } else {
        using Kind = InputFile::Fault::Kind;
        using Cause = DefinitionsFault::Cause;
        const Kind kind = contents.fault->kind;
        loaded.fault = DefinitionsFault {kind == Kind::CannotOpen       ? Cause::CannotOpen
                                             : kind == Kind::ReadFailed ? Cause::ReadFailed
                                                                        : Cause::Contents,
                                         0, contents.fault->reason};
    }
    loaded.path = path;
    return loaded;
}

LoadedDefinitions loadDefinitions(const std::optional<QString>& path,
                                  const QString& programFolder,
                                  const QLocale& locale,
                                  InputFile::Accept accept)
{
    if (path)
        return loadDefinitionsFile(*path, locale, accept);
    QStringList tried;
    const QString found = findDefinitions(programFolder, &tried);
    if (!found.isEmpty())
        return loadDefinitionsFile(found, locale, accept);
    LoadedDefinitions missing;
    missing.fault = DefinitionsFault {DefinitionsFault::Cause::NotFound, 0, describeMissingDefinitions(tried)};
    return missing;
}

LoadedDefinitions parseDefinitions(const QByteArray& contents, const QLocale& locale)
{
    LoadedDefinitions loaded;
    const auto fail = [&loaded](int line, const QString& reason) {
        loaded.fault = DefinitionsFault {DefinitionsFault::Cause::Contents, line, reason};
        return loaded;
    };

    const QString text = TextDecoding::markedUtf8OrWindows1252(contents);
    const QList<QStringView> lines = splitLines(text);
    if (lines.isEmpty())
        return fail(1, QStringLiteral("the file is empty"));

    // The header's value after its TAB is nothing the scan uses; only the TAB is required.
    if (!lines.first().contains(u'\t'))
        return fail(1, QStringLiteral("the header line has no TAB"));

    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringView line = lines.at(i);
        const int lineNumber = int(i + 1);
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0)
            continue;
        const QString phrase = withoutOuterSpaces(line.first(tab)).toString();
        if (phrase.isEmpty())
            continue;
        if (!loaded.table.canStore())
            return fail(lineNumber, QStringLiteral("more than 32,768 trigger phrases"));

        loaded.table.storePhrase(phrase);
        const QString weightText = withoutOuterSpaces(line.sliced(tab + 1)).toString();
        const std::optional<double> weight = readWeight(weightText, locale);
        if (!weight)
            return fail(lineNumber, QStringLiteral("the weight \"%1\" is not a number").arg(weightText));
        if (std::abs(*weight) > MaxWeightMagnitude)
            return fail(
                lineNumber,
                QStringLiteral("the weight \"%1\" is out of range (at most 1,000,000 either way)").arg(weightText));
        loaded.table.setLastWeight(*weight);
    }
    if (!loaded.table.hasPhrases()) {
        // The usual cause: lines saved with a line feed alone, which the format does not take as a line end.
        const bool lineFeedsOnly = !text.contains(u'\r') && text.contains(u'\n');
        return fail(0,
                    lineFeedsOnly ? QStringLiteral("the file contains no trigger phrases (its lines end with a "
                                                   "line feed alone; they must end with CR LF or CR)")
                                  : QStringLiteral("the file contains no trigger phrases"));
    }
    return loaded;
}
