#pragma once

#include "messagefile/TextPosition.h"

#include <QList>
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
    // Only when asked for: the place in the page of each UTF-16 unit of `text` (a line break or space the
    // layout adds takes the place of the character before it), and of the title's first character.
    QList<TextPosition> textPositions;
    TextPosition titlePosition;
};

enum class HtmlPositions
{
    Skip,
    Keep
};

// Reads a page given in UTF-8 (what is not valid UTF-8 reads as replacement characters). Nothing when the
// document could not be read to its end (more than MaxHtmlNesting elements open at once, or no memory
// left), so no text is ever silently left out.
std::optional<HtmlDocument> readHtmlDocument(const QByteArray& html, HtmlPositions positions = HtmlPositions::Skip);

// Why readHtmlDocument cannot be used here (a program that cannot load the HTML reader), empty when it can.
// Callers ask it first, so that a missing reader is not taken for a page that could not be read.
QString htmlReaderFault();
