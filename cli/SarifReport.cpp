#include "cli/SarifReport.h"

#include "cli/NativePath.h"
#include "platform/AppIdentity.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTextStream>
#include <QUrl>

namespace {

QString weightText(double weight)
{
    return QString::number(weight, 'g', QLocale::FloatingPointShortest);
}

// A file's name as a URI, its bytes percent-encoded: relative names stay relative (to the folder the run
// started in), and a colon is encoded there, so that no name reads as a scheme.
QString uriOf(const QString& file)
{
    const QByteArray path = NativePath::uriBytes(QDir::fromNativeSeparators(file));
    if (!QDir::isAbsolutePath(file))
        return QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
    return QStringLiteral("file://%1%2")
        .arg(path.startsWith('/') ? QString() : QStringLiteral("/"),
             QString::fromLatin1(QUrl::toPercentEncoding(path, "/:")));
}

QJsonObject locationOf(const QString& file)
{
    return QJsonObject {
        {QStringLiteral("physicalLocation"),
         QJsonObject {{QStringLiteral("artifactLocation"), QJsonObject {{QStringLiteral("uri"), uriOf(file)}}}}}};
}

// A JSON string: quotes, backslashes and control characters escaped.
QString jsonString(QStringView text)
{
    QString quoted;
    quoted.reserve(text.size() + 2);
    quoted += u'"';
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            quoted += u'\\';
        if (c.unicode() < 0x20)
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    quoted += u'"';
    return quoted;
}

// The rule of table entry `index`: named by the entry's 1-based line among the phrases.
QString ruleId(qsizetype index)
{
    return QStringLiteral("TVX%1").arg(index + 1, 5, 10, QLatin1Char('0'));
}

QJsonObject textMessage(const QString& text)
{
    return QJsonObject {{QStringLiteral("text"), text}};
}

// One fix for each plainer wording of the occurrence, each replacing the stretch of the file it stands in.
QJsonArray fixesOf(const Occurrence& occurrence, const QStringList& wordings, const QString& uri, TextSpan span)
{
    const QJsonObject region {{QStringLiteral("startLine"), span.start.line},
                              {QStringLiteral("startColumn"), span.start.column},
                              {QStringLiteral("endLine"), span.end.line},
                              {QStringLiteral("endColumn"), span.end.column}};
    QJsonArray fixes;
    for (const QString& wording : wordings) {
        QJsonObject replacement {{QStringLiteral("deletedRegion"), region}};
        if (!wording.isEmpty())
            replacement.insert(QStringLiteral("insertedContent"), textMessage(wording));
        const QString description = wording.isEmpty()
            ? QStringLiteral("Remove '%1'").arg(occurrence.phrase)
            : QStringLiteral("Replace '%1' with '%2'").arg(occurrence.phrase, wording);
        fixes.append(QJsonObject {
            {QStringLiteral("description"), textMessage(description)},
            {QStringLiteral("artifactChanges"),
             QJsonArray {QJsonObject {{QStringLiteral("artifactLocation"), QJsonObject {{QStringLiteral("uri"), uri}}},
                                      {QStringLiteral("replacements"), QJsonArray {replacement}}}}},
        });
    }
    return fixes;
}

} // namespace

SarifReport::SarifReport(QTextStream& out, const RunFacts& facts)
    : m_out(out)
    , m_captions(facts.locale)
{
}

qsizetype SarifReport::ruleFor(const Occurrence& occurrence, const PhraseTable& table)
{
    const auto [found, added] = m_ruleIndex.try_emplace(occurrence.phraseIndex, m_rules.size());
    if (added) {
        const double weight = table.at(occurrence.phraseIndex).weight;
        m_rules.append(QJsonObject {
            {QStringLiteral("id"), ruleId(occurrence.phraseIndex)},
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

void SarifReport::startResult()
{
    if (!std::exchange(m_started, true)) {
        m_out << "{\n  \"$schema\": \"https://json.schemastore.org/sarif-2.1.0.json\",\n  \"version\": \"2.1.0\",\n"
                 "  \"runs\": [{\n    \"columnKind\": \"unicodeCodePoints\",\n    \"results\": [";
    }
    m_out << (std::exchange(m_anyResult, true) ? ",\n      " : "\n      ");
}

void SarifReport::write(const RatedMessage& rated)
{
    const QString fileUri = uriOf(rated.read.file);
    const QString uri = jsonString(fileUri);
    for (const Occurrence& occurrence : rated.outcome.occurrences) {
        const qsizetype rule = ruleFor(occurrence, rated.table);
        const TextPosition place = placeOf(occurrence, rated.read.message.places);
        // Where the text has no place in the file, the result names the file alone.
        const QString region = place.isKnown()
            ? QStringLiteral(", \"region\": {\"startLine\": %1, \"startColumn\": %2}").arg(place.line).arg(place.column)
            : QString();
        const QString message
            = QStringLiteral("Trigger phrase '%1'%2 (weight %3)")
                  .arg(occurrence.phrase, occurrence.inCapitals ? QStringLiteral(" in capitals") : QString(),
                       weightText(occurrence.weightAdded));
        startResult();
        m_out << "{\"ruleId\": \"" << ruleId(occurrence.phraseIndex) << "\", \"ruleIndex\": " << rule
              << ", \"level\": \"warning\", \"message\": {\"text\": " << jsonString(message)
              << "}, \"locations\": [{\"physicalLocation\": {\"artifactLocation\": {\"uri\": " << uri << '}' << region
              << "}}]";
        if (rated.read.number > 0)
            m_out << ", \"properties\": {\"message\": " << rated.read.number << '}';
        // Fixes only where the occurrence stands in the file as it was read: the body of a text file or of an
        // HTML page, outside tags and character references.
        const QStringList wordings = suggestionsFor(occurrence, rated);
        const std::optional<TextSpan> span = occurrence.pane == Pane::Body
            ? rated.read.message.places.bodySpan(occurrence.start, occurrence.length)
            : std::nullopt;
        if (span && !wordings.isEmpty())
            m_out << ", \"fixes\": "
                  << QString::fromUtf8(
                         QJsonDocument(fixesOf(occurrence, wordings, fileUri, *span)).toJson(QJsonDocument::Compact));
        m_out << '}';
    }
    m_messages += m_messages.isEmpty() ? QStringLiteral("\n        ") : QStringLiteral(",\n        ");
    m_messages += QStringLiteral("{\"file\": %1, ").arg(jsonString(NativePath::unicode(rated.read.file)));
    if (rated.read.number > 0)
        m_messages += QStringLiteral("\"message\": %1, ").arg(rated.read.number);
    m_messages += QStringLiteral("\"verdict\": %1, \"score\": %2, \"percentage\": %3}")
                      .arg(jsonString(m_captions.verdict(rated.outcome)), jsonString(m_captions.score(rated.outcome)),
                           jsonString(m_captions.percent(rated.outcome)));
}

void SarifReport::writeFault(const ReadMessage& read)
{
    QJsonObject notification {{QStringLiteral("level"), QStringLiteral("error")},
                              {QStringLiteral("message"), textMessage(read.fault)}};
    if (!read.file.isEmpty() && read.file != u'-')
        notification.insert(QStringLiteral("locations"), QJsonArray {locationOf(read.file)});
    m_notifications.append(notification);
}

void SarifReport::finish()
{
    if (!m_started) {
        startResult();
        m_anyResult = false;
    }
    const QJsonObject driver {
        {QStringLiteral("name"), QStringLiteral("tallyvex-scan")},
        {QStringLiteral("version"), QString::fromLatin1(AppIdentity::Version)},
        {QStringLiteral("informationUri"),
         QStringLiteral("https://%1/").arg(QString::fromLatin1(AppIdentity::Comments))},
        {QStringLiteral("rules"), m_rules},
    };
    const QJsonArray invocations {QJsonObject {{QStringLiteral("executionSuccessful"), m_notifications.isEmpty()},
                                               {QStringLiteral("toolExecutionNotifications"), m_notifications}}};
    m_out << "\n    ],\n    \"tool\": {\"driver\": "
          << QString::fromUtf8(QJsonDocument(driver).toJson(QJsonDocument::Compact))
          << "},\n    \"invocations\": " << QString::fromUtf8(QJsonDocument(invocations).toJson(QJsonDocument::Compact))
          << ",\n    \"properties\": {\"messages\": [" << m_messages << "\n    ]}\n  }]\n}\n";
}
