#include "scanner/AlternativesLoader.h"
#include "scanner/DefinitionsLoader.h"

#include <QLocale>

#include <cmath>
#include <cstdint>
#include <cstdlib>

// Reads the fuzz input as a definitions file, by English and by German number rules, and checks what
// every loaded table promises: no empty or space-padded phrase, finite weights within range, the size limit.
// Reads it as an alternatives file too, which the same lines walk reads: one to four wordings a phrase, none
// padded with spaces.
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

void check(const LoadedAlternatives& loaded)
{
    if (loaded.fault && loaded.fault->reason.isEmpty())
        std::abort();
    for (const auto& [phrase, wordings] : loaded.wordings) {
        if (phrase.isEmpty() || wordings.isEmpty() || wordings.size() > 4)
            std::abort();
        for (const QString& wording : wordings) {
            if (wording.startsWith(u' ') || wording.endsWith(u' '))
                std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray contents(reinterpret_cast<const char*>(data), qsizetype(size));
    check(parseDefinitions(contents, QLocale(QLocale::English)));
    check(parseDefinitions(contents, QLocale(QLocale::German)));
    check(parseAlternatives(contents));
    return 0;
}
