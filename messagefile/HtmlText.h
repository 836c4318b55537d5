#pragma once

#include <QString>

#include <optional>

// The text a reader sees in an HTML document: markup, scripts and style sheets dropped, character
// references resolved, white space collapsed, and a line break at each paragraph, list item, row or <br>.
// Nothing when the document could not be read to its end, so no text is ever silently left out.
std::optional<QString> htmlToPlainText(const QString& html);
