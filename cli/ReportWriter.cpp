#include "cli/ReportWriter.h"

#include "cli/GccReport.h"
#include "cli/JsonReport.h"
#include "cli/SarifReport.h"
#include "cli/TextReport.h"

QString RunTally::summary(const QLocale& locale) const
{
    const qsizetype count = rated();
    QString text = QStringLiteral("%1 %2: %3 Pass, %4 Questionable, %5 Fail")
                       .arg(locale.toString(count), count == 1 ? QStringLiteral("message") : QStringLiteral("messages"),
                            locale.toString(pass), locale.toString(questionable), locale.toString(fail));
    if (unreadable > 0)
        text += QStringLiteral("; %1 could not be read").arg(locale.toString(unreadable));
    return text;
}

std::unique_ptr<ReportWriter> ReportWriter::create(ReportFormat format, QTextStream& out)
{
    switch (format) {
    case ReportFormat::Json:
        return std::make_unique<JsonReport>(out);
    case ReportFormat::Gcc:
        return std::make_unique<GccReport>(out);
    case ReportFormat::Sarif:
        return std::make_unique<SarifReport>(out);
    case ReportFormat::Text:
        break;
    }
    return std::make_unique<TextReport>(out);
}

TextPosition placeOf(const Occurrence& occurrence, const MessageSourceMap& places)
{
    return occurrence.pane == Pane::Subject ? places.subject() : places.body(occurrence.start);
}

double weightAdded(const Occurrence& occurrence, const PhraseTable& phrases)
{
    const double weight = phrases.at(occurrence.phraseIndex).weight;
    return occurrence.bold ? 2 * weight : weight;
}
