#include "cli/JsonReport.h"

#include "cli/NativePath.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>

JsonReport::JsonReport(QTextStream& out, const RunFacts& facts)
    : m_out(out)
    , m_definitionsPath(facts.definitionsPath)
    , m_phrasesLoaded(facts.phrasesLoaded)
    , m_captions(facts.locale)
{
}

void JsonReport::write(const RatedMessage& rated)
{
    writeLine(objectOf(rated), rated.read);
}

void JsonReport::writeSingle(const RatedMessage& rated)
{
    m_out << QJsonDocument(objectOf(rated)).toJson(QJsonDocument::Indented);
}

void JsonReport::writeFault(const ReadMessage& read)
{
    writeLine(QJsonObject {{QStringLiteral("error"), read.fault}, {QStringLiteral("status"), read.faultStatus}}, read);
}

QJsonObject JsonReport::objectOf(const RatedMessage& rated)
{
    const ScanOutcome& outcome = rated.outcome;
    const GaugeWidths gauge = outcome.gauge.value_or(GaugeWidths {});
    QJsonArray occurrences;
    for (const Occurrence& occurrence : outcome.occurrences) {
        occurrences.append(QJsonObject {
            {QStringLiteral("phrase"), occurrence.phrase},
            {QStringLiteral("text"), m_captions.occurrence(occurrence)},
            {QStringLiteral("bold"), occurrence.inCapitals},
            {QStringLiteral("position"), occurrence.position},
            {QStringLiteral("pane"), OutcomeCaptions::paneName(occurrence.pane)},
            {QStringLiteral("start"), occurrence.start},
            {QStringLiteral("length"), occurrence.length},
            {QStringLiteral("suggestions"), QJsonArray::fromStringList(suggestionsFor(occurrence, rated))},
        });
    }
    QJsonObject object {
        {QStringLiteral("verdict"), m_captions.verdict(outcome)},
        {QStringLiteral("score"), m_captions.score(outcome)},
        {QStringLiteral("percentage"), m_captions.percent(outcome)},
        {QStringLiteral("phrases"), QJsonArray::fromStringList(outcome.phrases.phrases())},
        {QStringLiteral("gauge"), QJsonArray {gauge.green, gauge.yellow, gauge.red}},
        {QStringLiteral("occurrences"), occurrences},
        {QStringLiteral("definitions"),
         QJsonObject {{QStringLiteral("path"), m_definitionsPath}, {QStringLiteral("phrases"), m_phrasesLoaded}}},
    };
    if (const QString& part = rated.read.message.text.partUsed; !part.isEmpty())
        object.insert(QStringLiteral("message"), QJsonObject {{QStringLiteral("part"), part}});
    return object;
}

void JsonReport::writeLine(QJsonObject object, const ReadMessage& read)
{
    if (!read.file.isEmpty())
        object.insert(QStringLiteral("file"), NativePath::unicode(read.file));
    if (read.number > 0) {
        QJsonObject message = object.value(QStringLiteral("message")).toObject();
        message.insert(QStringLiteral("number"), read.number);
        object.insert(QStringLiteral("message"), message);
    }
    m_out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
}
