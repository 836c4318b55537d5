#pragma once

#include <QString>

#include <optional>

constexpr int MaxHtmlNesting = 1024;

// The text a reader sees in an HTML document: markup, scripts and style sheets dropped, character
// references resolved, white space collapsed, and a line break at each paragraph, list item, row or <br>.
// Nothing when the document could not be read to its end (more than MaxHtmlNesting elements open at
// once, or no memory left), so no text is ever silently left out.
std::optional<QString> htmlToPlainText(const QString& html);
