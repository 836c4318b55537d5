#include "messagefile/ReaderModules.h"

namespace {

MailReaderFunctions functions {MailReaderFunctions::CurrentVersion, &readEmlMessage, nullptr, nullptr};

} // namespace

// The saved e-mail reader reads an HTML part with the program's HTML reader, filled in when the program
// loaded this module, so libxml2 is loaded only for a message with an HTML part to read.
std::optional<HtmlDocument> readHtmlDocument(const QByteArray& html, HtmlPositions positions)
{
    return functions.readHtmlDocument(html, positions);
}

QString htmlReaderFault()
{
    return functions.htmlReaderFault();
}

// The module's only export; everything else in it is hidden and bound within it, so its readers never bind
// to the loader's functions of the same names in the program.
extern "C" __attribute__((visibility("default"))) MailReaderFunctions* tallyvexMailReaderFunctions()
{
    return &functions;
}
