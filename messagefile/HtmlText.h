#pragma once

#include <QString>

// The text a reader sees in an HTML document: markup, scripts and style sheets dropped, character
// references resolved, white space collapsed, and a line break at each paragraph, list item, row or <br>.
QString htmlToPlainText(const QString& html);
