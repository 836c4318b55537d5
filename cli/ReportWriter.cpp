#include "cli/ReportWriter.h"

#include "scanner/WordingCase.h"

QStringList suggestionsFor(const Occurrence& occurrence, const RatedMessage& rated)
{
    return WordingCase::forOccurrence(rated.table, occurrence, rated.subject, rated.read.message.text.body);
}

TextPosition placeOf(const Occurrence& occurrence, const MessageSourceMap& places)
{
    return occurrence.pane == Pane::Subject ? places.subject() : places.body(occurrence.start);
}
