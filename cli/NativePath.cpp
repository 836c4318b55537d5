#include "cli/NativePath.h"

#include "textio/TextDecoding.h"

#include <QByteArrayView>

#include <cerrno>
#include <cstring>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace NativePath {
namespace {

#ifndef Q_OS_WIN
constexpr char16_t EscapedBytes = 0xdc00;

// U+DC80 to U+DCFF standing alone: a byte of the name that is no part of valid UTF-8.
bool isEscapedByte(QStringView name, qsizetype index)
{
    const char16_t unit = name[index].unicode();
    return unit >= EscapedBytes + 0x80 && unit <= EscapedBytes + 0xff
        && (index == 0 || !name[index - 1].isHighSurrogate());
}

// Runs `text` on each stretch of `name` between escaped bytes, and `byte` on each escaped byte.
template <typename Text, typename Byte>
void forEachPiece(QStringView name, Text text, Byte byte)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscapedByte(name, i))
            continue;
        text(name.sliced(start, i - start));
        byte(uchar(name[i].unicode() - EscapedBytes));
        start = i + 1;
    }
    text(name.sliced(start));
}

#endif

InputFile::Fault cannotOpen(const QString& reason)
{
    return {InputFile::Fault::Kind::CannotOpen, reason};
}

} // namespace

#ifdef Q_OS_WIN

QString decode(const std::filesystem::path& path)
{
    return QString::fromStdWString(path.native());
}

std::filesystem::path encode(const QString& name)
{
    return name.toStdWString();
}

QString visible(const QString& name)
{
    return TextDecoding::withVisibleControls(name);
}

QString unicode(const QString& name)
{
    return name;
}

QByteArray uriBytes(const QString& name)
{
    return name.toUtf8();
}

static OpenedInput openNamed(const QString& name, bool)
{
    OpenedInput opened;
    opened.device = std::make_unique<QFile>(name);
    if (!opened.device->open(QIODevice::ReadOnly)) {
        opened.fault = cannotOpen(QStringLiteral("the file cannot be opened (%1)").arg(opened.device->errorString()));
        opened.device.reset();
        return opened;
    }
    opened.regular = !opened.device->isSequential();
    return opened;
}

#else

QString decode(const std::filesystem::path& path)
{
    const QByteArrayView bytes(path.native());
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    QString name;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size();) {
        const uchar lead = uchar(bytes[i]);
        const qsizetype length = lead < 0x80 ? 1 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : 4;
        if (i + length <= bytes.size() && bytes.sliced(i, length).isValidUtf8()) {
            i += length;
            continue;
        }
        // Bytes below 0x80 are always valid, so the byte kept is one from 0x80 on.
        name += QString::fromUtf8(bytes.sliced(start, i - start));
        name += QChar(char16_t(EscapedBytes + lead));
        start = ++i;
    }
    name += QString::fromUtf8(bytes.sliced(start));
    return name;
}

std::filesystem::path encode(const QString& name)
{
    return uriBytes(name).toStdString();
}

QString visible(const QString& name)
{
    QString shown;
    forEachPiece(
        name, [&shown](QStringView text) { shown += text; },
        [&shown](uchar byte) { shown += QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0')); });
    return TextDecoding::withVisibleControls(shown);
}

QString unicode(const QString& name)
{
    return QString::fromUtf8(uriBytes(name));
}

QByteArray uriBytes(const QString& name)
{
    QByteArray bytes;
    forEachPiece(
        name, [&bytes](QStringView text) { bytes += text.toUtf8(); }, [&bytes](uchar byte) { bytes += char(byte); });
    return bytes;
}

static OpenedInput openNamed(const QString& name, bool waitForWriter)
{
    OpenedInput opened;
    int fd = -1;
    do
        fd = ::open(encode(name).c_str(), O_RDONLY | O_CLOEXEC | (waitForWriter ? 0 : O_NONBLOCK));
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        opened.fault
            = cannotOpen(QStringLiteral("the file cannot be opened (%1)").arg(QString::fromLocal8Bit(strerror(errno))));
        return opened;
    }
    struct stat status = {};
    if (fstat(fd, &status) != 0 || S_ISDIR(status.st_mode)) {
        opened.fault = cannotOpen(
            S_ISDIR(status.st_mode)
                ? QStringLiteral("it is a folder, not a file")
                : QStringLiteral("it cannot be examined (%1)").arg(QString::fromLocal8Bit(strerror(errno))));
        ::close(fd);
        return opened;
    }
    opened.regular = S_ISREG(status.st_mode);
    opened.device = std::make_unique<QFile>();
    if (!opened.device->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        opened.fault = cannotOpen(QStringLiteral("the file cannot be opened (%1)").arg(opened.device->errorString()));
        opened.device.reset();
        ::close(fd);
    }
    return opened;
}

#endif

OpenedInput open(const QString& name, bool waitForWriter)
{
    if (name.isEmpty())
        return {nullptr, false, cannotOpen(QStringLiteral("no file name was given"))};
    return openNamed(name, waitForWriter);
}

bool isFolder(const QString& name)
{
    std::error_code error;
    return std::filesystem::is_directory(encode(name), error);
}

} // namespace NativePath
