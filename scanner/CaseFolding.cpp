#include "CaseFolding.h"

#include <QChar>

#include <algorithm>

namespace {

// QString's search builds its skip table from at most this many units of the searched text's end.
constexpr qsizetype SkipTableSpan = 255;

inline char32_t foldCodePoint(char32_t c)
{
    if (c < 0x80)
        return c >= u'A' && c <= u'Z' ? c + 0x20 : c;
    return QChar::toCaseFolded(c);
}

} // namespace

void CaseFolding::fold(QStringView text, std::vector<char32_t>& folded)
{
    const char16_t* units = text.utf16();
    const qsizetype size = text.size();
    folded.resize(size_t(size));
    char16_t previous = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(previous))
            folded[size_t(i)] = QChar::toCaseFolded(QChar::surrogateToUcs4(previous, unit));
        else
            folded[size_t(i)] = foldCodePoint(unit);
        previous = unit;
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
