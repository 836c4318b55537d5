#pragma once

#include "textio/InputFile.h"

#include <QFile>
#include <QString>

#include <filesystem>
#include <memory>
#include <optional>

// File names as the system keeps them. On Linux a name is any bytes, not always UTF-8: a name is carried
// as a QString in which each byte that is no part of valid UTF-8 stands as U+DC80 + byte (a lone
// surrogate, which no valid name decodes to), so every name found or given is opened again exactly. On
// Windows names are UTF-16 and are kept as they are.
namespace NativePath {

QString decode(const std::filesystem::path& path);
std::filesystem::path encode(const QString& name);

// For people and for compiler-style lines: control characters and undecodable bytes written out as
// \xNN, so a name shows on one line and sends nothing to a terminal.
QString visible(const QString& name);
// For JSON and SARIF: undecodable bytes as U+FFFD.
QString unicode(const QString& name);
// The name's bytes in UTF-8 where they are text, for a URI that names the file exactly.
QByteArray uriBytes(const QString& name);

bool isFolder(const QString& name);

// An input opened once for all of its reading: a regular file, or what a name stands for in its place
// (a pipe, a terminal, a device).
struct OpenedInput
{
    std::unique_ptr<QFile> device;
    bool regular = false;
    std::optional<InputFile::Fault> fault;
};

// Opening a named pipe waits for its writer when `waitForWriter` is set; otherwise it returns at once,
// and the caller passes the pipe by.
OpenedInput open(const QString& name, bool waitForWriter);

} // namespace NativePath
