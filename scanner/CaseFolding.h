#pragma once

#include <QStringView>

#include <vector>

// The simple, code-point-wise case folding that QString's case-insensitive search compares by. Each UTF-16
// unit folds on its own, except a low surrogate that follows a high surrogate: it stands for the folded
// code point of the pair. Folding keeps one value per unit, so positions never shift.
namespace CaseFolding {

// Replaces `folded` with the folded units of `text`.
void fold(QStringView text, std::vector<char32_t>& folded);
std::u32string folded(QStringView text);

// True when QString's search does not compare this phrase by the folding above at every position: a
// phrase that begins with a low surrogate, and a long one with surrogates, whose skip table the search
// builds from its tail alone. Such phrases are searched with QString itself.
bool needsPlainSearch(QStringView phrase);

} // namespace CaseFolding
