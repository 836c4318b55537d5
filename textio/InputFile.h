#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QIODevice;

// Whole input files read into memory with every step checked. A file that cannot be opened, a read that
// fails part-way, or more bytes than the limit come back as a fault with its reason and no bytes, so
// nothing is ever rated from part of an input. The size limit is checked while reading, so an endless
// stream ends with a fault rather than with the memory exhausted.
namespace InputFile {

constexpr qint64 MiB = 1024 * 1024;
// The largest definitions file read: hundreds of times any real list of phrases.
constexpr qint64 MaxDefinitionsBytes = 64 * MiB;
// The largest message or body read.
constexpr qint64 MaxMessageBytes = 256 * MiB;

enum class Accept
{
    // Only regular files; anything else is refused before a byte is read, and opening never waits (a
    // named pipe without a writer would hold the caller up for good).
    RegularFiles,
    // Regular files and streams (pipes, terminals, devices); opening a named pipe waits for its writer.
    FilesAndStreams,
};

struct Fault
{
    enum class Kind
    {
        CannotOpen,
        ReadFailed,
        TooLarge,
    };
    Kind kind;
    // Fits after "FILE: ", e.g. "reading failed after 4096 bytes (Input/output error)".
    QString reason;
};

struct Contents
{
    QByteArray bytes;
    std::optional<Fault> fault;
};

// The whole file at `path`, or a fault.
Contents read(const QString& path, qint64 maxBytes, Accept accept);

// What is left to read of an open device, to its end, or a fault, as `read` reads a file.
Contents read(QIODevice& device, qint64 maxBytes);

// The whole of standard input, or a fault (a directory given as standard input is refused).
Contents readStandardInput(qint64 maxBytes);

} // namespace InputFile
