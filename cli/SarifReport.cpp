#include "cli/SarifReport.h"

#include "platform/AppIdentity.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QUrl>

namespace {

QString weightText(double weight)
{
    return QString::number(weight, 'g', QLocale::FloatingPointShortest);
}

// A file's name as a URI: relative names stay relative (to the folder the run started in).
QString uriOf(const QString& file)
{
    if (QDir::isAbsolutePath(file))
        return QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded);
    return QString::fromLatin1(QUrl::toPercentEncoding(QDir::fromNativeSeparators(file), "/"));
}

QJsonObject textMessage(const QString& text)
{
    return QJsonObject {{QStringLiteral("text"), text}};
}

} // namespace

qsizetype SarifReport::ruleFor(const Occurrence& occurrence, const PhraseTable& phrases)
{
    const auto [found, added] = m_ruleIndex.try_emplace(occurrence.phraseIndex, m_rules.size());
    if (added) {
        const double weight = phrases.at(occurrence.phraseIndex).weight;
        m_rules.append(QJsonObject {
            {QStringLiteral("id"), QStringLiteral("TVX%1").arg(occurrence.phraseIndex + 1, 5, 10, QLatin1Char('0'))},
            {QStringLiteral("name"), QStringLiteral("TriggerPhrase")},
            {QStringLiteral("shortDescription"),
             textMessage(QStringLiteral("Trigger phrase '%1' (weight %2)").arg(occurrence.phrase, weightText(weight)))},
            {QStringLiteral("defaultConfiguration"),
             QJsonObject {{QStringLiteral("level"), QStringLiteral("warning")}}},
            {QStringLiteral("properties"),
             QJsonObject {{QStringLiteral("phrase"), occurrence.phrase}, {QStringLiteral("weight"), weight}}},
        });
    }
    return found->second;
}

void SarifReport::write(const RatedMessage& rated)
{
    const QString uri = uriOf(rated.read.file);
    for (const Occurrence& occurrence : rated.report.occurrences) {
        const qsizetype rule = ruleFor(occurrence, rated.phrases);
        const TextPosition place = placeOf(occurrence, rated.read.message.places);
        QJsonObject result {
            {QStringLiteral("ruleId"), m_rules.at(rule)[QStringLiteral("id")]},
            {QStringLiteral("ruleIndex"), rule},
            {QStringLiteral("level"), QStringLiteral("warning")},
            {QStringLiteral("message"),
             textMessage(QStringLiteral("Trigger phrase '%1'%2 (weight %3)")
                             .arg(occurrence.phrase, occurrence.bold ? QStringLiteral(" in capitals") : QString(),
                                  weightText(weightAdded(occurrence, rated.phrases))))},
            {QStringLiteral("locations"),
             QJsonArray {QJsonObject {{QStringLiteral("physicalLocation"),
                                       QJsonObject {
                                           {QStringLiteral("artifactLocation"), QJsonObject {{"uri", uri}}},
                                           {QStringLiteral("region"),
                                            QJsonObject {{QStringLiteral("startLine"), place.line},
                                                         {QStringLiteral("startColumn"), place.column}}},
                                       }}}}},
        };
        if (rated.read.number > 0)
            result.insert(QStringLiteral("properties"), QJsonObject {{QStringLiteral("message"), rated.read.number}});
        m_results.append(result);
    }
    QJsonObject message {
        {QStringLiteral("file"), rated.read.file},
        {QStringLiteral("verdict"), rated.report.results.passFail()},
        {QStringLiteral("score"), rated.report.results.score()},
        {QStringLiteral("percentage"), rated.report.results.percent()},
    };
    if (rated.read.number > 0)
        message.insert(QStringLiteral("message"), rated.read.number);
    m_messages.append(message);
}

void SarifReport::writeFault(const ReadMessage& read)
{
    m_notifications.append(QJsonObject {{QStringLiteral("level"), QStringLiteral("error")},
                                        {QStringLiteral("message"), textMessage(read.fault)}});
}

void SarifReport::finish(const RunTally& tally)
{
    const QJsonObject driver {
        {QStringLiteral("name"), QStringLiteral("tallyvex-scan")},
        {QStringLiteral("version"), QString::fromLatin1(AppIdentity::Version)},
        {QStringLiteral("informationUri"),
         QStringLiteral("https://%1/").arg(QString::fromLatin1(AppIdentity::Comments))},
        {QStringLiteral("rules"), m_rules},
    };
    const QJsonObject run {
        {QStringLiteral("tool"), QJsonObject {{QStringLiteral("driver"), driver}}},
        {QStringLiteral("invocations"),
         QJsonArray {QJsonObject {{QStringLiteral("executionSuccessful"), tally.unreadable == 0},
                                  {QStringLiteral("toolExecutionNotifications"), m_notifications}}}},
        {QStringLiteral("columnKind"), QStringLiteral("unicodeCodePoints")},
        {QStringLiteral("results"), m_results},
        {QStringLiteral("properties"), QJsonObject {{QStringLiteral("messages"), m_messages}}},
    };
    const QJsonObject log {
        {QStringLiteral("$schema"), QStringLiteral("https://json.schemastore.org/sarif-2.1.0.json")},
        {QStringLiteral("version"), QStringLiteral("2.1.0")},
        {QStringLiteral("runs"), QJsonArray {run}},
    };
    m_out << QJsonDocument(log).toJson(QJsonDocument::Indented);
}
