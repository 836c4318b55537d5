#include "ScanObservables.h"
#include "scanner/FastSearch.h"
#include "scanner/PhraseTable.h"
#include "scanner/ScanSession.h"
#include "scanner/ScanText.h"
#include "support/ReferenceSearch.h"

#include <QLocale>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

// Scans with both engines what the fuzz input describes and aborts on the first difference a user could
// see. Input: one byte of options, then UTF-16 units (little-endian, so lone surrogates occur): the
// phrases separated by U+FFFE, then U+FFFF, the subject, U+FFFF, the body.
namespace {

enum Options : std::uint8_t
{
    StepThrough = 1,
    ClearBodyMidWalk = 2,
    ResetListMidWalk = 4,
    StopSteppingMidWalk = 8
};

struct Case
{
    PhraseTable table;
    QString subject;
    QString body;
};

Case cut(const std::uint8_t* data, std::size_t size)
{
    QString units;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        units.append(QChar(char16_t(data[i] | (data[i + 1] << 8))));
    const QStringList parts = units.split(QChar(0xFFFF));
    static const double Weights[] = {1, 0.5, 2.25, -1, 0.05, 0.25, 3, 1e6};
    Case scan;
    for (const QString& phrase : parts.value(0).split(QChar(0xFFFE))) {
        if (phrase.isEmpty() || !scan.table.canStore())
            continue;
        scan.table.storePhrase(phrase);
        scan.table.setLastWeight(Weights[phrase.size() % 8]);
    }
    scan.subject = ScanText::boxSubject(parts.value(1));
    scan.body = parts.value(2);
    return scan;
}

void mustMatch(const std::string& fast, const std::string& reference)
{
    if (fast == reference)
        return;
    std::fprintf(stderr, "fast engine:\n%s\nplain search:\n%s\n", fast.c_str(), reference.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t options = data[0];
    Case scan = cut(data, size);

    ScanSession fast(QLocale(QLocale::English), [](const std::shared_ptr<const PhraseIndex>& index) {
        return std::make_unique<FastSearch>(index);
    });
    ScanSession reference(QLocale(QLocale::English), [](const std::shared_ptr<const PhraseIndex>& index) {
        return std::make_unique<ReferenceSearch>(index->table());
    });
    fast.setDefinitions(scan.table);
    reference.setDefinitions(scan.table);
    fast.keepOccurrences(true);
    reference.keepOccurrences(true);
    const CaptionNumbers numbers {QLocale(QLocale::English)};

    bool stepThrough = options & StepThrough;
    // Step Through walks are cut short so that each input stays quick.
    for (int press = 0; press < 300; ++press) {
        const PressOutcome expected = reference.press(scan.subject, scan.body, stepThrough);
        const PressOutcome actual = fast.press(scan.subject, scan.body, stepThrough);
        mustMatch(describe(actual, shownBy(fast, numbers)), describe(expected, shownBy(reference, numbers)));
        mustMatch(describe(fast.outcome().occurrences), describe(reference.outcome().occurrences));
        if (!reference.isPaused())
            break;
        if ((options & ClearBodyMidWalk) && press == 2)
            scan.body.clear();
        if ((options & ResetListMidWalk) && press % 3 == 1) {
            fast.resetResults();
            reference.resetResults();
        }
        if ((options & StopSteppingMidWalk) && press == 5)
            stepThrough = false;
    }

    // The engines' answers for starting positions spread over the text.
    const QString text = ScanText::of(scan.subject, scan.body);
    FastSearch quick(std::make_shared<const PhraseIndex>(scan.table));
    ReferenceSearch plain(scan.table);
    quick.setText(text);
    plain.setText(text);
    const qsizetype step = text.size() / 16 + 1;
    for (qsizetype index = 0; index < scan.table.size(); ++index) {
        for (qsizetype from = 0; from <= text.size() + 1; from += step) {
            if (quick.findFirst(index, from) != plain.findFirst(index, from)
                || quick.findPadded(index, from) != plain.findPadded(index, from)) {
                std::fprintf(stderr, "phrase %lld from %lld differs\n", static_cast<long long>(index),
                             static_cast<long long>(from));
                std::abort();
            }
        }
    }
    return 0;
}
