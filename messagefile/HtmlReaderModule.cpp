#include "messagefile/ReaderModules.h"

// The module's only export; everything else in it is hidden and bound within it, so its reader never binds
// to the loader's function of the same name in the program.
extern "C" __attribute__((visibility("default"))) const HtmlReaderFunctions* tallyvexHtmlReaderFunctions()
{
    static const HtmlReaderFunctions functions {HtmlReaderFunctions::CurrentVersion, &readHtmlDocument};
    return &functions;
}
