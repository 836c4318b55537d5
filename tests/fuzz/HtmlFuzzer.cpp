#include "messagefile/HtmlText.h"

#include <cstdint>
#include <cstdlib>

// Lays out any bytes as HTML, the way an HTML-only saved e-mail is read: it must come back as text or be
// refused, without a crash or a sanitizer finding, end in visible text, and give the same text every time.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString html = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<QString> text = htmlToPlainText(html);
    if (text && !text->isEmpty() && text->back().isSpace())
        std::abort();
    if (htmlToPlainText(html) != text)
        std::abort();
    return 0;
}
