#include "cli/ScanReport.h"

#include <QJsonArray>

namespace {

QString paneName(Pane pane)
{
    return pane == Pane::Subject ? QStringLiteral("subject") : QStringLiteral("body");
}

QStringList listedPhrases(const QString& phraseList)
{
    return phraseList.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}

} // namespace

QString ScanReport::toText() const
{
    QString text;
    if (!messagePart.isEmpty())
        text += QStringLiteral("Message part: %1\n").arg(messagePart);
    text += QStringLiteral("Verdict: %1\n").arg(results.passFail());
    text += QStringLiteral("Overall Score: %1\n").arg(results.score());
    text += QStringLiteral("Overall Percentage: %1\n").arg(results.percent());
    text += QStringLiteral("Trigger Phrases:\n");
    for (const QString& phrase : listedPhrases(results.phrases()))
        text += QStringLiteral("  %1\n").arg(phrase);
    text += stepThrough ? QStringLiteral("Stops:\n") : QStringLiteral("Occurrences:\n");
    for (const Occurrence& occurrence : occurrences) {
        text += QStringLiteral("  %1 (%2, start %3, length %4)\n")
                    .arg(occurrence.text, paneName(occurrence.pane))
                    .arg(occurrence.start)
                    .arg(occurrence.length);
    }
    return text;
}

QJsonObject ScanReport::toJson() const
{
    const GaugeWidths gauge = results.gauge().value_or(GaugeWidths {});
    QJsonArray jsonOccurrences;
    for (const Occurrence& occurrence : occurrences) {
        jsonOccurrences.append(QJsonObject {
            {QStringLiteral("phrase"), occurrence.phrase},
            {QStringLiteral("text"), occurrence.text},
            {QStringLiteral("bold"), occurrence.bold},
            {QStringLiteral("position"), occurrence.position},
            {QStringLiteral("pane"), paneName(occurrence.pane)},
            {QStringLiteral("start"), occurrence.start},
            {QStringLiteral("length"), occurrence.length},
        });
    }
    QJsonObject report {
        {QStringLiteral("verdict"), results.passFail()},
        {QStringLiteral("score"), results.score()},
        {QStringLiteral("percentage"), results.percent()},
        {QStringLiteral("phrases"), QJsonArray::fromStringList(listedPhrases(results.phrases()))},
        {QStringLiteral("gauge"), QJsonArray {gauge.green, gauge.yellow, gauge.red}},
        {QStringLiteral("occurrences"), jsonOccurrences},
        {QStringLiteral("definitions"),
         QJsonObject {{QStringLiteral("path"), definitionsPath}, {QStringLiteral("phrases"), phrasesLoaded}}},
    };
    if (!messagePart.isEmpty())
        report.insert(QStringLiteral("message"), QJsonObject {{QStringLiteral("part"), messagePart}});
    return report;
}
