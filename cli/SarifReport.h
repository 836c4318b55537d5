#pragma once

#include "cli/OutcomeCaptions.h"
#include "cli/ReportWriter.h"

#include <QJsonArray>
#include <QString>

#include <unordered_map>

class QTextStream;

// One SARIF 2.1.0 log for the whole run, for code-scanning services: a result for each handled occurrence
// at its place in the file, written as the messages come, then a rule for each trigger phrase found and
// each message's verdict, score and percentage in the run's properties. The results are not held, so a run
// of any length keeps only the rules and one short line per message.
class SarifReport final : public ReportWriter
{
public:
    SarifReport(QTextStream& out, const RunFacts& facts);

    void write(const RatedMessage& rated) override;
    void writeFault(const ReadMessage& read) override;
    void finish() override;

private:
    qsizetype ruleFor(const Occurrence& occurrence, const PhraseTable& table);
    // The log up to its results, once; then the separator before each further result.
    void startResult();

    QTextStream& m_out;
    OutcomeCaptions m_captions;
    bool m_started = false;
    bool m_anyResult = false;
    QJsonArray m_rules;
    // Rule index by table index.
    std::unordered_map<qsizetype, qsizetype> m_ruleIndex;
    // The messages' verdicts and the notifications, as JSON array elements.
    QString m_messages;
    QJsonArray m_notifications;
};
