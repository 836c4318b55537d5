#pragma once

// The formats tallyvex-scan writes its reports in.
enum class ReportFormat
{
    Text,
    Json,
    Gcc,
    Sarif
};
