#include "textio/InputFile.h"
#include "QtPrinters.h"
#include "TemporaryFiles.h"
#include "messagefile/MessageFile.h"
#include "textio/TextDecoding.h"

#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include <sys/stat.h>

namespace {

using Kind = InputFile::Fault::Kind;
using InputFile::Accept;

} // namespace

TEST(InputFile, ReadsWholeFilesOrNamesTheFault)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString small = writeFile(dir, "small.txt", "free money");
    const QString fifo = dir.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);

    struct Case
    {
        const char* name;
        QString path;
        qint64 limit;
        Accept accept;
        std::optional<Kind> fault;
        QString reason;
    };
    const std::vector<Case> cases = {
        {"a regular file", small, 10, Accept::RegularFiles, std::nullopt, ""},
        {"missing", dir.filePath("none"), 10, Accept::FilesAndStreams, Kind::CannotOpen,
         "the file cannot be opened (No such file or directory)"},
        {"no name", "", 10, Accept::FilesAndStreams, Kind::CannotOpen, "no file name was given"},
        {"a folder", dir.path(), 10, Accept::FilesAndStreams, Kind::CannotOpen, "it is a folder, not a file"},
        {"a named pipe where only files will do: refused without waiting for a writer", fifo, 10, Accept::RegularFiles,
         Kind::CannotOpen, "it is not a regular file"},
        {"a device where only files will do", "/dev/zero", 10, Accept::RegularFiles, Kind::CannotOpen,
         "it is not a regular file"},
        {"a file above the limit", small, 9, Accept::RegularFiles, Kind::TooLarge,
         "it holds more than 0 MiB, the most that is read"},
        {"an endless stream stops at the limit", "/dev/zero", 3 * InputFile::MiB, Accept::FilesAndStreams,
         Kind::TooLarge, "it holds more than 3 MiB, the most that is read"},
        {"a read that fails", "/proc/self/mem", 10, Accept::FilesAndStreams, Kind::ReadFailed,
         "reading failed after 0 bytes (Input/output error)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const InputFile::Contents contents = InputFile::read(c.path, c.limit, c.accept);
        if (!c.fault) {
            EXPECT_FALSE(contents.fault.has_value());
            EXPECT_EQ(contents.bytes, "free money");
            continue;
        }
        ASSERT_TRUE(contents.fault.has_value());
        EXPECT_EQ(contents.fault->kind, *c.fault);
        EXPECT_EQ(contents.fault->reason, c.reason);
        EXPECT_TRUE(contents.bytes.isEmpty());
    }
}

TEST(TextDecoding, ByteOrderMarksDecideTheEncoding)
{
    const QString text = QStringLiteral("résumé\r\nfree");
    struct Case
    {
        const char* name;
        QByteArray bytes;
    };
    const std::vector<Case> cases = {
        {"UTF-8 with a mark", "\xEF\xBB\xBF" + text.toUtf8()},
        {"UTF-16 LE", QStringEncoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom).encode(text)},
        {"UTF-16 BE", QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom).encode(text)},
        {"UTF-32 LE", QStringEncoder(QStringEncoder::Utf32LE, QStringEncoder::Flag::WriteBom).encode(text)},
        {"UTF-32 BE", QStringEncoder(QStringEncoder::Utf32BE, QStringEncoder::Flag::WriteBom).encode(text)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(readMessage(c.bytes, MessageFormat::Text).body, "résumé\nfree");
        EXPECT_EQ(TextDecoding::markedUtf8OrWindows1252(c.bytes), text);
    }

    SCOPED_TRACE("without a mark: UTF-8, and definitions that are not UTF-8 as Windows-1252");
    EXPECT_EQ(readMessage("r\xC3\xA9sum\xC3\xA9", MessageFormat::Text).body, "résumé");
    EXPECT_EQ(TextDecoding::markedUtf8OrWindows1252("r\xC3\xA9sum\xC3\xA9"), "résumé");
    EXPECT_EQ(readMessage("r\xE9sum\xE9", MessageFormat::Text).body, "r\uFFFDsum\uFFFD");
    EXPECT_EQ(TextDecoding::markedUtf8OrWindows1252("r\xE9sum\xE9 \x80 \x93\x94 \x81"), "résumé € \u201C\u201D \u0081");
}

TEST(TextDecoding, ControlCharactersAreWrittenOut)
{
    using namespace std::literals;
    EXPECT_EQ(TextDecoding::withVisibleControls(u"a\0b\tc\r\n\x7f\x9b é"sv),
              QStringLiteral("a\\x00b\\x09c\\x0d\\x0a\\x7f\\x9b é"));
}
