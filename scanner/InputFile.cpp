#include "scanner/InputFile.h"

#include <QFile>

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
    if (regular && status.st_size > maxBytes)
        return tooLarge(maxBytes);

    Contents contents;
    QByteArray& bytes = contents.bytes;
    // One byte past the limit is room enough to see that an input is too large.
    const qsizetype most = qsizetype(maxBytes) + 1;
    bytes.reserve(std::min(most, regular ? qsizetype(status.st_size) + 1 : ChunkBytes));
    for (;;) {
        const qsizetype used = bytes.size();
        // Read straight into a buffer grown by doubling: appending chunks grows it by too little each
        // time, which makes reading hundreds of MiB several times slower.
        if (used == bytes.capacity())
            bytes.reserve(std::min(most, 2 * used));
        bytes.resize(bytes.capacity());
        const qsizetype count = readSome(fd, bytes.data() + used, bytes.size() - used);
        const int readError = errno;
        bytes.resize(used + std::max<qsizetype>(count, 0));
        if (count < 0) {
            if (readError == EINTR)
                continue;
            return failed(Fault::Kind::ReadFailed,
                          QStringLiteral("reading failed after %1 bytes (%2)").arg(used).arg(systemError(readError)));
        }
        if (count == 0)
            return contents;
        if (bytes.size() > maxBytes)
            return tooLarge(maxBytes);
    }
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

Contents readStandardInput(qint64 maxBytes)
{
    return readDescriptor(standardInput(), maxBytes, Accept::FilesAndStreams);
}

} // namespace InputFile
