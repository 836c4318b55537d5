#pragma once

#include "lsp/DocumentRater.h"
#include "lsp/TextDocument.h"

#include <QJsonArray>
#include <QString>

class ReplacementSource;

// The quick fixes for the findings in a stretch of a document: each replaces exactly one occurrence with one
// of the wordings a ReplacementSource offers for it.
namespace CodeActions {

// For every finding that stands in the document and touches `requested` (those of light phrases only when
// `withLight`), one action per wording, the first wording preferred.
QJsonArray quickFixes(const QString& uri,
                      const DocumentRating& rating,
                      const TextDocument& document,
                      PositionEncoding encoding,
                      TextRange requested,
                      bool withLight,
                      const ReplacementSource& replacements);

} // namespace CodeActions
