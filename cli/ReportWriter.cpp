#include "cli/ReportWriter.h"

TextPosition placeOf(const Occurrence& occurrence, const MessageSourceMap& places)
{
    return occurrence.pane == Pane::Subject ? places.subject() : places.body(occurrence.start);
}
