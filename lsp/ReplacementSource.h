#pragma once

#include "lsp/DocumentRater.h"

#include <QStringList>

// Answers what replacements exist for an occurrence of a trigger phrase: the wordings a quick fix may put in
// its place.
class ReplacementSource
{
public:
    virtual ~ReplacementSource() = default;

    // The wordings for `finding`, best first; an empty wording removes the occurrence. None when no
    // wording is known.
    virtual QStringList replacementsFor(const Finding& finding) const = 0;
};

// The source in use while the definitions come without replacement wordings: it knows none, so no quick
// fix is offered.
class NoReplacements final : public ReplacementSource
{
public:
    QStringList replacementsFor(const Finding&) const override { return {}; }
};
