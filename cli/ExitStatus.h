#pragma once

#include "scanner/ScanOutcome.h"

// The exit statuses of tallyvex-scan: the verdict for a run that rated every input, the kind of fault
// otherwise (the numbers of sysexits.h).
namespace ExitStatus {

enum : int
{
    Pass = 0,
    Questionable = 1,
    Fail = 2,
    // A usage error, or a single message with nothing to rate.
    Usage = 64,
    // A fault in the definitions, or a message that cannot be read as what it is.
    DataError = 65,
    // A file that cannot be opened or is too large, or a folder that cannot be listed.
    NoInput = 66,
    // Reading or writing failed part-way.
    IoError = 74,
};

constexpr int of(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Pass:
        return Pass;
    case Verdict::Questionable:
        return Questionable;
    case Verdict::Fail:
        break;
    }
    return Fail;
}

} // namespace ExitStatus
