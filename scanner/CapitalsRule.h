#pragma once

#include <QString>
#include <QStringView>

// An occurrence written in capitals counts twice. A scan sees capitals only in the 26 letters A to Z, so a
// phrase with a space, a digit or any other character is never in capitals.
namespace CapitalsRule {

// True when every character is one of the capital letters A to Z, compared exactly; true for an empty text.
inline bool isAllCaps(QStringView text)
{
    for (const QChar c : text) {
        if (c < u'A' || c > u'Z')
            return false;
    }
    return true;
}

// How often an occurrence adds its phrase's weight to the score.
constexpr int timesCounted(bool inCapitals)
{
    return inCapitals ? 2 : 1;
}

constexpr double weightAdded(double weight, bool inCapitals)
{
    return timesCounted(inCapitals) * weight;
}

// Whether any occurrence of the phrase can be in capitals at all.
inline bool canBeInCapitals(const QString& phrase)
{
    return isAllCaps(phrase.toUpper());
}

} // namespace CapitalsRule
