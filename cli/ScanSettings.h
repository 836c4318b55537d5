#pragma once

#include "cli/MessageFeed.h"
#include "cli/ReportFormat.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// The verdict from which on a run's exit status says so.
enum class FailOn
{
    Questionable,
    Fail,
    Never
};

// What a run of tallyvex-scan was asked to do.
struct ScanSettings
{
    QStringList names;
    ReadOptions read;
    std::optional<QString> subject;
    bool stepThrough = false;
    ReportFormat format = ReportFormat::Text;
    int jobs = 1;
    FailOn failOn = FailOn::Questionable;
    bool quiet = false;
    bool summary = true;
    // None to use the definitions found beside the program.
    std::optional<QString> definitionsPath;

    // The format a fault that ends the run is told in besides standard error: text when only the summary is
    // asked for.
    ReportFormat faultFormat() const { return quiet ? ReportFormat::Text : format; }
    // Whether the report shows plainer wordings: every format but text does, when a report is written.
    bool reportsWordings() const { return !quiet && format != ReportFormat::Text; }
};

// Options that cannot be used together or take no such value. `format` is the report format asked for, once
// it is known: programs that read it are told of the fault there too.
struct UsageError
{
    QString message;
    std::optional<ReportFormat> format;
};

// What --help or --version prints.
struct ShownText
{
    QString text;
};

using CommandLine = std::variant<ScanSettings, ShownText, UsageError>;

// The most threads --jobs takes.
constexpr int MaxJobs = 256;

// The arguments of tallyvex-scan (the program's name first) as the settings of a run, the text to print
// instead, or why they cannot be used.
CommandLine parseCommandLine(const QStringList& arguments);
