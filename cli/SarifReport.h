#pragma once

#include "cli/ReportWriter.h"

#include <QJsonArray>

#include <unordered_map>

// One SARIF 2.1.0 log for the whole run, written at its end, for code-scanning services: a rule for each
// trigger phrase found, a result for each handled occurrence at its place in the file, and each message's
// verdict, score and percentage in the run's properties.
class SarifReport final : public ReportWriter
{
public:
    explicit SarifReport(QTextStream& out)
        : m_out(out)
    {
    }

    void write(const RatedMessage& rated) override;
    void writeFault(const ReadMessage& read) override;
    void finish(const RunTally& tally) override;

private:
    qsizetype ruleFor(const Occurrence& occurrence, const PhraseTable& phrases);

    QTextStream& m_out;
    QJsonArray m_rules;
    // Rule index by table index.
    std::unordered_map<qsizetype, qsizetype> m_ruleIndex;
    QJsonArray m_results;
    QJsonArray m_messages;
    QJsonArray m_notifications;
};
