#pragma once

#include <QStringView>

#include <vector>

// The simple, code-point-wise case folding that QString's case-insensitive search compares by. Each UTF-16
// unit folds on its own, except a low surrogate that follows a high surrogate: it stands for the folded
// code point of the pair. Folding keeps one value per unit, so positions never shift.
namespace CaseFolding {

// The folded unit at `index` of `units`.
char32_t foldedNonAscii(const char16_t* units, qsizetype index);
inline char32_t foldedAt(const char16_t* units, qsizetype index)
{
    const char16_t unit = units[index];
    if (unit < 0x80)
        return unit >= u'A' && unit <= u'Z' ? unit + 0x20 : unit;
    return foldedNonAscii(units, index);
}

// Replaces `folded` with the folded units of `text`.
void fold(QStringView text, std::vector<char32_t>& folded);
std::u32string folded(QStringView text);

// True when QString's search does not compare this phrase by the folding above at every position: a
// phrase that begins with a low surrogate, and a long one with surrogates, whose skip table the search
// builds from its tail alone. Such phrases are searched with QString itself.
bool needsPlainSearch(QStringView phrase);

} // namespace CaseFolding
