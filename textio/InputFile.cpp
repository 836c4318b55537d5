#include "textio/InputFile.h"

#include <QFile>
#include <QIODevice>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace InputFile {
namespace {

// What reading needs of the system: descriptors, their status and reads, with the same meaning on POSIX
// systems and on Windows (binary, 64-bit sizes, wide-character paths).
#ifdef _WIN32
using FileStatus = struct _stat64;
int statusOf(int fd, FileStatus* status)
{
    return _fstat64(fd, status);
}
int openFile(const QString& path, bool)
{
    return _wopen(reinterpret_cast<const wchar_t*>(path.utf16()), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
qsizetype readSome(int fd, char* into, qsizetype most)
{
    return _read(fd, into, unsigned(std::min<qsizetype>(most, 1 << 30)));
}
void closeFile(int fd)
{
    _close(fd);
}
int standardInput()
{
    // Bytes as they are: no CR LF translation, no end at Ctrl+Z.
    _setmode(0, _O_BINARY);
    return 0;
}
#else
using FileStatus = struct stat;
int statusOf(int fd, FileStatus* status)
{
    return fstat(fd, status);
}
// Without blocking on open, a named pipe or device that only regular files are wanted from is refused
// instead of waited for.
int openFile(const QString& path, bool regularFilesOnly)
{
    return ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | (regularFilesOnly ? O_NONBLOCK : 0));
}
qsizetype readSome(int fd, char* into, qsizetype most)
{
    return ::read(fd, into, size_t(most));
}
void closeFile(int fd)
{
    ::close(fd);
}
int standardInput()
{
    return STDIN_FILENO;
}
#endif

constexpr qsizetype ChunkBytes = 64 * 1024;

Contents failed(Fault::Kind kind, const QString& reason)
{
    return {{}, Fault {kind, reason}};
}

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

Contents tooLarge(qint64 maxBytes)
{
    return failed(Fault::Kind::TooLarge,
                  QStringLiteral("it holds more than %1 MiB, the most that is read").arg(maxBytes / MiB));
}

// Reads to the end with `readSome(into, most)`, which returns the bytes read, 0 at the end, or -1 on a
// failure that `failure()` then describes. `size` is the size of a regular file, else -1.
template <typename ReadSome, typename Failure>
Contents readToEnd(ReadSome readSome, Failure failure, qint64 size, qint64 maxBytes)
{
    if (size > maxBytes)
        return tooLarge(maxBytes);
    Contents contents;
    QByteArray& bytes = contents.bytes;
    // One byte past the limit is room enough to see that an input is too large.
    const qsizetype most = qsizetype(maxBytes) + 1;
    bytes.reserve(std::min(most, size >= 0 ? qsizetype(size) + 1 : ChunkBytes));
    for (;;) {
        const qsizetype used = bytes.size();
        // Read straight into a buffer grown by doubling: appending chunks grows it by too little each
        // time, which makes reading hundreds of MiB several times slower.
        if (used == bytes.capacity())
            bytes.reserve(std::min(most, 2 * used));
        bytes.resize(bytes.capacity());
        const qsizetype count = readSome(bytes.data() + used, bytes.size() - used);
        bytes.resize(used + std::max<qsizetype>(count, 0));
        if (count < 0) {
            return failed(Fault::Kind::ReadFailed,
                          QStringLiteral("reading failed after %1 bytes (%2)").arg(used).arg(failure()));
        }
        if (count == 0)
            return contents;
        if (bytes.size() > maxBytes)
            return tooLarge(maxBytes);
    }
}

// Reads `fd` to its end; the caller closes it.
Contents readDescriptor(int fd, qint64 maxBytes, Accept accept)
{
    FileStatus status = {};
    if (statusOf(fd, &status) != 0)
        return failed(Fault::Kind::CannotOpen, QStringLiteral("it cannot be examined (%1)").arg(systemError(errno)));
    if (S_ISDIR(status.st_mode))
        return failed(Fault::Kind::CannotOpen, QStringLiteral("it is a folder, not a file"));
    const bool regular = S_ISREG(status.st_mode);
    if (accept == Accept::RegularFiles && !regular)
        return failed(Fault::Kind::CannotOpen, QStringLiteral("it is not a regular file"));
    int readError = 0;
    const auto readChunk = [fd, &readError](char* into, qsizetype most) {
        qsizetype count = -1;
        do
            count = readSome(fd, into, most);
        while (count < 0 && errno == EINTR);
        readError = errno;
        return count;
    };
    return readToEnd(
        readChunk, [&readError] { return systemError(readError); }, regular ? status.st_size : -1, maxBytes);
}

} // namespace

Contents read(const QString& path, qint64 maxBytes, Accept accept)
{
    if (path.isEmpty())
        return failed(Fault::Kind::CannotOpen, QStringLiteral("no file name was given"));
    int fd = -1;
    do
        fd = openFile(path, accept == Accept::RegularFiles);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return failed(Fault::Kind::CannotOpen,
                      QStringLiteral("the file cannot be opened (%1)").arg(systemError(errno)));
    Contents contents = readDescriptor(fd, maxBytes, accept);
    closeFile(fd);
    return contents;
}

Contents read(QIODevice& device, qint64 maxBytes)
{
    const auto readChunk = [&device](char* into, qsizetype most) { return qsizetype(device.read(into, most)); };
    return readToEnd(
        readChunk, [&device] { return device.errorString(); },
        device.isSequential() ? -1 : device.size() - device.pos(), maxBytes);
}

Contents readStandardInput(qint64 maxBytes)
{
    return readDescriptor(standardInput(), maxBytes, Accept::FilesAndStreams);
}

} // namespace InputFile
