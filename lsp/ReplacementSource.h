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

// The plainer wordings of the alternatives file beside the definitions, which each finding carries from the
// rating that found it.
class AlternativeWordings final : public ReplacementSource
{
public:
    QStringList replacementsFor(const Finding& finding) const override { return finding.wordings; }
};
