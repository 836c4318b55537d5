#pragma once

#include "cli/ReportFormat.h"
#include "cli/ReportWriter.h"

#include <memory>

class QTextStream;

namespace ReportWriterFactory {

std::unique_ptr<ReportWriter> create(ReportFormat format, QTextStream& out, const RunFacts& facts);

} // namespace ReportWriterFactory
