#include "messagefile/MailReaderModule.h"

// The module's only export; everything else in it is hidden, so its readers never bind to the loader's
// functions of the same names in the program.
extern "C" __attribute__((visibility("default"))) const MailReaderFunctions* tallyvexMailReaderFunctions()
{
    static const MailReaderFunctions functions {MailReaderFunctions::CurrentVersion, &readEmlMessage,
                                                &readHtmlDocument};
    return &functions;
}
