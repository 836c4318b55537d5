#pragma once

#include "lsp/DocumentRater.h"
#include "lsp/TextDocument.h"

#include <QJsonArray>
#include <QJsonObject>

// The diagnostics an editor shows for a rated document.
namespace FindingDiagnostics {

// One per finding (those of light phrases only when `withLight`), then one for the whole document with its
// verdict, score and percentage, or with why it could not be rated. Nothing for a blank document.
QJsonArray of(const DocumentRating& rating, const TextDocument& document, PositionEncoding encoding, bool withLight);

// The diagnostic of one finding.
QJsonObject of(const Finding& finding, const TextDocument& document, PositionEncoding encoding);

} // namespace FindingDiagnostics
