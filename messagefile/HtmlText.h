#pragma once

#include <QString>

#include <optional>

constexpr int MaxHtmlNesting = 1024;

// What a reader sees of an HTML document.
struct HtmlDocument
{
    // The document's <title>, white space collapsed; empty when it has none.
    QString title;
    // The text of the page: markup, scripts and style sheets dropped, character references resolved, white
    // space collapsed, and a line break at each paragraph, list item, row or <br>.
    QString text;
};

// Nothing when the document could not be read to its end (more than MaxHtmlNesting elements open at once,
// or no memory left), so no text is ever silently left out.
std::optional<HtmlDocument> readHtmlDocument(const QString& html);
