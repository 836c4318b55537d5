#include "messagefile/HtmlText.h"

#include <cstdint>
#include <cstdlib>

// Lays out any bytes as HTML, the way an HTML-only saved e-mail is read: it must come back as text or be
// refused, without a crash or a sanitizer finding, end in visible text, break lines with LF only, and give
// the same text every time.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray html(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<HtmlDocument> page = readHtmlDocument(html);
    if (page && ((!page->text.isEmpty() && page->text.back().isSpace()) || page->text.contains(u'\r')))
        std::abort();
    const std::optional<HtmlDocument> again = readHtmlDocument(html);
    if (page.has_value() != again.has_value() || (page && (page->text != again->text || page->title != again->title)))
        std::abort();
    return 0;
}
