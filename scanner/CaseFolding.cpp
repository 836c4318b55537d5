#include "CaseFolding.h"

#include <QChar>

#include <algorithm>

namespace {

// QString's search builds its skip table from at most this many units of the searched text's end.
constexpr qsizetype SkipTableSpan = 255;

} // namespace

void CaseFolding::fold(QStringView text, std::vector<char32_t>& folded)
{
    const char16_t* units = text.utf16();
    const qsizetype size = text.size();
    folded.resize(size_t(size));
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (unit < 0x80)
            folded[size_t(i)] = unit >= u'A' && unit <= u'Z' ? unit + 0x20 : unit;
        else if (QChar::isLowSurrogate(unit) && i > 0 && QChar::isHighSurrogate(units[i - 1]))
            folded[size_t(i)] = QChar::toCaseFolded(QChar::surrogateToUcs4(units[i - 1], unit));
        else
            folded[size_t(i)] = QChar::toCaseFolded(char32_t(unit));
    }
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
