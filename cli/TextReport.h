#pragma once

#include "cli/ReportWriter.h"

// For people: the block of a single run for each message, headed by its name when the run has several.
class TextReport final : public ReportWriter
{
public:
    explicit TextReport(QTextStream& out)
        : m_out(out)
    {
    }

    void write(const RatedMessage& rated) override
    {
        if (rated.alone) {
            m_out << rated.report.toText();
            return;
        }
        m_out << QStringLiteral("File: %1\n").arg(NativePath::visible(rated.read.name())) << rated.report.toText()
              << '\n';
    }

private:
    QTextStream& m_out;
};
