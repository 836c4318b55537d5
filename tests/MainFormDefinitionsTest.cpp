#include "WindowTestSupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

// Definitions.dat that cannot serve: the window opens without waiting on it, warns with the reason the
// command line gives, and stays usable.
TEST(MainFormDefinitions, UnusableFilesAreWarnedAboutWithoutHoldingUpTheWindow)
{
    struct Case
    {
        const char* name;
        std::function<bool(const QString& path)> make;
        // The file at fault and why.
        QString reason;
        QString loaded;
    };
    const auto write = [](const QByteArray& contents) {
        return [contents](const QString& path) {
            QFile file(path);
            return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
        };
    };
    const std::vector<Case> cases = {
        {"a named pipe", [](const QString& path) { return mkfifo(QFile::encodeName(path).constData(), 0600) == 0; },
         "Definitions.dat: it is not a regular file", "0 trigger phrases were loaded"},
        {"a link to an endless device",
         [](const QString& path) { return QFile::link(QStringLiteral("/dev/zero"), path); },
         "Definitions.dat: it is not a regular file", "0 trigger phrases were loaded"},
        {"a folder", [](const QString& path) { return QDir().mkpath(path); },
         "Definitions.dat: it is a folder, not a file", "0 trigger phrases were loaded"},
        {"no trigger phrase", write("H\t1\nfree\t1\n"), "Definitions.dat: the file contains no trigger phrases",
         "0 trigger phrases were loaded"},
        {"control characters in a weight", write(QByteArray("H\t1\r\nfree\t1\0\x1b", 13)),
         "Definitions.dat, line 2: the weight \"1\\x00\\x1b\" is not a number", "1 trigger phrase was loaded"},
        {"a phrase without a wording in the alternatives beside them",
         [write](const QString& path) {
             return write("H\t1\r\nfree\t1\r\n")(path)
                 && write("H\t1\r\nfree\t\r\n")(QFileInfo(path).dir().filePath(QStringLiteral("Alternatives.dat")));
         },
         "Alternatives.dat, line 2: \"free\" has no wording", "Not all plainer wordings could be read."},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        MessageBoxRecorder messages;
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Definitions.dat"));
        ASSERT_TRUE(test.make(path));
        MainForm form(path, QLocale(QLocale::English, QLocale::UnitedStates));
        QCoreApplication::processEvents();
        ASSERT_EQ(messages.requests().size(), 1);
        const QString warning = messages.requests().constFirst().text;
        EXPECT_TRUE(warning.contains(folder.filePath(test.reason))) << warning.toStdString();
        EXPECT_TRUE(warning.contains(test.loaded)) << warning.toStdString();

        // Still usable: a scan gives its verdict.
        form.findChild<QLineEdit*>(QStringLiteral("tbSubject"))->setText(QStringLiteral("free offer"));
        QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("cmdScore")), Qt::LeftButton);
        EXPECT_FALSE(form.findChild<QLabel*>(QStringLiteral("lblPassFail"))->text().isEmpty());
    }
}
