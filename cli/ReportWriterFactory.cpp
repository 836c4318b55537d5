#include "cli/ReportWriterFactory.h"

#include "cli/GccReport.h"
#include "cli/JsonReport.h"
#include "cli/SarifReport.h"
#include "cli/TextReport.h"

namespace ReportWriterFactory {

std::unique_ptr<ReportWriter> create(ReportFormat format, QTextStream& out, const RunFacts& facts)
{
    switch (format) {
    case ReportFormat::Json:
        return std::make_unique<JsonReport>(out, facts);
    case ReportFormat::Gcc:
        return std::make_unique<GccReport>(out);
    case ReportFormat::Sarif:
        return std::make_unique<SarifReport>(out, facts);
    case ReportFormat::Text:
        break;
    }
    return std::make_unique<TextReport>(out, facts);
}

} // namespace ReportWriterFactory
