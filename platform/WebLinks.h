#pragma once

#include <QUrl>

class QString;

// The web addresses the program opens in the browser.
namespace WebLinks {

// "http://" followed by the host: a site's home page.
QUrl siteAddress(const QString& host);

// The search site's query for the typed words: spaces at both ends dropped, each inner space a "+",
// every other character outside the URL-unreserved set percent-encoded as UTF-8, so the site gets
// exactly the words typed ("AT&T" stays one word).
QUrl searchAddress(const QString& host, const QString& words);

} // namespace WebLinks
