#include "scanner/DefinitionsLoader.h"

#include <QLocale>

#include <cmath>
#include <cstdint>
#include <cstdlib>

// Reads the fuzz input as a definitions file, by English and by German number rules, and checks what
// every loaded table promises: no empty or space-padded phrase, finite weights within range, the size limit.
namespace {

void check(const LoadedDefinitions& loaded)
{
    const PhraseTable& table = loaded.table;
    if (table.size() < 1 || table.size() > PhraseTable::MaxEntries)
        std::abort();
    if (loaded.fault && loaded.fault->reason.isEmpty())
        std::abort();
    if (!table.hasPhrases())
        return;
    for (const TriggerPhrase& entry : table) {
        if (entry.phrase.isEmpty() || entry.phrase.startsWith(u' ') || entry.phrase.endsWith(u' '))
            std::abort();
        if (!std::isfinite(entry.weight) || std::abs(entry.weight) > 1'000'000.0)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray contents(reinterpret_cast<const char*>(data), qsizetype(size));
    check(parseDefinitions(contents, QLocale(QLocale::English)));
    check(parseDefinitions(contents, QLocale(QLocale::German)));
    return 0;
}
