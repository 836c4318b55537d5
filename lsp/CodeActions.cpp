#include "lsp/CodeActions.h"

#include "lsp/FindingDiagnostics.h"
#include "lsp/ProtocolJson.h"
#include "lsp/ReplacementSource.h"

#include <QJsonObject>

namespace CodeActions {

namespace {

// A stretch touches the requested one when they overlap or meet: a caret at either end of a phrase asks
// about it.
bool touches(TextRange range, TextRange requested)
{
    return range.start <= requested.end && requested.start <= range.end;
}

QString titleOf(const Finding& finding, const QString& wording)
{
    if (wording.isEmpty())
        return QStringLiteral("Remove \u201c%1\u201d").arg(finding.phrase);
    return QStringLiteral("Replace \u201c%1\u201d with \u201c%2\u201d").arg(finding.phrase, wording);
}

} // namespace

QJsonArray quickFixes(const QString& uri,
                      const DocumentRating& rating,
                      const TextDocument& document,
                      PositionEncoding encoding,
                      TextRange requested,
                      bool withLight,
                      const ReplacementSource& replacements)
{
    QJsonArray actions;
    for (const Finding& finding : rating.findings) {
        if (!finding.range || !touches(*finding.range, requested) || (!withLight && finding.band == WeightBand::Light))
            continue;
        const QStringList wordings = replacements.replacementsFor(finding);
        const QJsonObject diagnostic = FindingDiagnostics::of(finding, document, encoding);
        for (qsizetype i = 0; i < wordings.size(); ++i) {
            const QJsonObject edit {{QStringLiteral("range"), ProtocolJson::range(document, *finding.range, encoding)},
                                    {QStringLiteral("newText"), wordings.at(i)}};
            actions.append(QJsonObject {
                {QStringLiteral("title"), titleOf(finding, wordings.at(i))},
                {QStringLiteral("kind"), QStringLiteral("quickfix")},
                {QStringLiteral("diagnostics"), QJsonArray {diagnostic}},
                {QStringLiteral("isPreferred"), i == 0},
                {QStringLiteral("edit"),
                 QJsonObject {{QStringLiteral("changes"), QJsonObject {{uri, QJsonArray {edit}}}}}},
            });
        }
    }
    return actions;
}

} // namespace CodeActions
