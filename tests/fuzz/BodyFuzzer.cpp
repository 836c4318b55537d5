#include "messagefile/MessageFile.h"
#include "textio/TextDecoding.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>

// Decodes the fuzz input as a message body and as a definitions file, by byte-order mark, UTF-8 or
// Windows-1252, and checks what the decoded text promises: never more characters than bytes, only LF line
// breaks in a body, and a fault message built from the text free of control characters.
namespace {

bool hasControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString body = readMessage(bytes, MessageFormat::Text).body;
    const QString definitions = TextDecoding::markedUtf8OrWindows1252(bytes);
    if (body.size() > bytes.size() || definitions.size() > bytes.size())
        std::abort();
    if (body.contains(u'\r'))
        std::abort();
    if (hasControlCharacter(TextDecoding::withVisibleControls(definitions)))
        std::abort();
    return 0;
}
