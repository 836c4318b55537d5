#include "scanner/CaseFolding.h"

#include <QChar>

#include <algorithm>

namespace {

// QString's search builds its skip table from at most this many units of the searched text's end.
constexpr qsizetype SkipTableSpan = 255;

} // namespace

char32_t CaseFolding::foldedNonAscii(const char16_t* units, qsizetype index)
{
    const char16_t unit = units[index];
    if (QChar::isLowSurrogate(unit) && index > 0 && QChar::isHighSurrogate(units[index - 1]))
        return QChar::toCaseFolded(QChar::surrogateToUcs4(units[index - 1], unit));
    return QChar::toCaseFolded(char32_t(unit));
}

void CaseFolding::fold(QStringView text, std::vector<char32_t>& folded)
{
    const char16_t* units = text.utf16();
    folded.resize(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i)
        folded[size_t(i)] = foldedAt(units, i);
}

std::u32string CaseFolding::folded(QStringView text)
{
    std::vector<char32_t> units;
    fold(text, units);
    return std::u32string(units.begin(), units.end());
}

bool CaseFolding::needsPlainSearch(QStringView phrase)
{
    if (phrase.isEmpty())
        return false;
    if (QChar::isLowSurrogate(phrase.front().unicode()))
        return true;
    // The padded search looks for the phrase with a space on each side.
    return phrase.size() + 2 > SkipTableSpan
        && std::any_of(phrase.begin(), phrase.end(), [](QChar c) { return c.isSurrogate(); });
}
