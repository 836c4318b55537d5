#include "messagefile/EmlMessage.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

// Reads any bytes as a saved e-mail: it must come back read or refused, without a crash or a sanitizer
// finding. A message read names the kind of part its body came from and has LF line breaks only; one
// refused has nothing but the reason; and reading it again gives the same.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const MessageText message = readEmlMessage(bytes);
    if (message.isValid()) {
        if (message.partUsed != u"text/plain" && message.partUsed != u"text/html")
            std::abort();
        if (message.body.contains(u'\r'))
            std::abort();
    } else if (!message.subject.isEmpty() || !message.body.isEmpty() || !message.partUsed.isEmpty()) {
        std::abort();
    }
    const MessageText again = readEmlMessage(bytes);
    if (again.subject != message.subject || again.body != message.body || again.partUsed != message.partUsed
        || again.error != message.error)
        std::abort();
    return 0;
}
