#include "scanner/InputFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace InputFile {
namespace {

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
    struct stat status = {};
    if (fstat(fd, &status) != 0)
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
        const ssize_t count = ::read(fd, bytes.data() + used, size_t(bytes.size() - used));
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
    const int flags = O_RDONLY | O_CLOEXEC | (accept == Accept::RegularFiles ? O_NONBLOCK : 0);
    int fd = -1;
    do
        fd = ::open(QFile::encodeName(path).constData(), flags);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return failed(Fault::Kind::CannotOpen,
                      QStringLiteral("the file cannot be opened (%1)").arg(systemError(errno)));
    Contents contents = readDescriptor(fd, maxBytes, accept);
    ::close(fd);
    return contents;
}

Contents readStandardInput(qint64 maxBytes)
{
    return readDescriptor(STDIN_FILENO, maxBytes, Accept::FilesAndStreams);
}

} // namespace InputFile
