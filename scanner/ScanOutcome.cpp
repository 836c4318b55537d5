#include "scanner/ScanOutcome.h"

Verdict verdictFor(double value)
{
    if (value < 3)
        return Verdict::Pass;
    if (value < 5)
        return Verdict::Questionable;
    return Verdict::Fail;
}

QString nameOf(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Pass:
        return QStringLiteral("Pass");
    case Verdict::Questionable:
        return QStringLiteral("Questionable");
    case Verdict::Fail:
        break;
    }
    return QStringLiteral("Fail");
}

QString emptyInputMessage(const QString& productTitle)
{
    return QStringLiteral("You must enter a copy of your email into the ") + productTitle;
}
