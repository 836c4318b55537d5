#include "lsp/FindingDiagnostics.h"

#include "lsp/ProtocolJson.h"

namespace FindingDiagnostics {

namespace {

enum Severity
{
    Error = 1,
    Warning = 2,
    Information = 3,
};

// Struck through by most editors: the wording is best not used.
constexpr int DeprecatedTag = 2;

const QString Source = QStringLiteral("tallyvex");

QString bandName(WeightBand band)
{
    switch (band) {
    case WeightBand::Light:
        return QStringLiteral("light");
    case WeightBand::Medium:
        return QStringLiteral("medium");
    case WeightBand::Heavy:
        break;
    }
    return QStringLiteral("heavy");
}

// Messages about the whole document stand at its start.
QJsonObject documentDiagnostic(Severity severity, const QString& code, const QString& message)
{
    const QJsonObject start = ProtocolJson::position({});
    return {{QStringLiteral("range"), QJsonObject {{QStringLiteral("start"), start}, {QStringLiteral("end"), start}}},
            {QStringLiteral("severity"), severity},
            {QStringLiteral("source"), Source},
            {QStringLiteral("code"), code},
            {QStringLiteral("message"), message}};
}

QJsonObject verdictDiagnostic(const DocumentRating& rating)
{
    const Severity severity = rating.verdict == Verdict::Pass ? Information
        : rating.verdict == Verdict::Questionable             ? Warning
                                                              : Error;
    return documentDiagnostic(severity, QStringLiteral("verdict"),
                              QStringLiteral("%1 \u2014 Overall Score: %2, Overall Percentage: %3")
                                  .arg(nameOf(rating.verdict), rating.score, rating.percent));
}

} // namespace

QJsonObject of(const Finding& finding, const TextDocument& document, PositionEncoding encoding)
{
    QString message = QStringLiteral("Trigger phrase \u201c%1\u201d%2 (weight %3)")
                          .arg(finding.phrase, finding.inCapitals ? QStringLiteral(" in capitals") : QString(),
                               finding.weightAdded);
    const Severity severity = finding.band == WeightBand::Light ? Information : Warning;
    if (!finding.range)
        return documentDiagnostic(severity, bandName(finding.band), message + QStringLiteral(", ") + finding.whereRead);
    QJsonObject diagnostic {{QStringLiteral("range"), ProtocolJson::range(document, *finding.range, encoding)},
                            {QStringLiteral("severity"), severity},
                            {QStringLiteral("source"), Source},
                            {QStringLiteral("code"), bandName(finding.band)},
                            {QStringLiteral("message"), message}};
    if (finding.band == WeightBand::Heavy)
        diagnostic.insert(QStringLiteral("tags"), QJsonArray {DeprecatedTag});
    return diagnostic;
}

QJsonArray of(const DocumentRating& rating, const TextDocument& document, PositionEncoding encoding, bool withLight)
{
    QJsonArray diagnostics;
    if (!rating.fault.isEmpty()) {
        diagnostics.append(documentDiagnostic(Error, QStringLiteral("unrated"),
                                              QStringLiteral("Cannot rate this document: %1").arg(rating.fault)));
        return diagnostics;
    }
    if (rating.blank)
        return diagnostics;
    for (const Finding& finding : rating.findings) {
        if (withLight || finding.band != WeightBand::Light)
            diagnostics.append(of(finding, document, encoding));
    }
    diagnostics.append(verdictDiagnostic(rating));
    return diagnostics;
}

} // namespace FindingDiagnostics
