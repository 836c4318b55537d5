#include "MemoryRegistry.h"
#include "RecordingServices.h"
#include "platform/SystemInfoTool.h"
#include "startup/SystemInfoLauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using SystemInfoTool::LocationKey;
using SystemInfoTool::ToolKey;
const QString ToolPath = QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo\\msinfo32.exe");
const QString ToolFolder = QStringLiteral("C:\\Program Files\\Common Files\\Microsoft Shared\\MSInfo");
const QString FolderTool = ToolFolder + QStringLiteral("\\MSINFO32.EXE");
const QString Unavailable = QStringLiteral("System Information Is Unavailable At This Time");

MemoryRegistry::Value text(const QString& value)
{
    return {Registry::TextType, value.toLocal8Bit() + '\0'};
}

void addToolPath(RecordingServices& desktop, MemoryRegistry::Value value, bool readOnly = false)
{
    desktop.registry->addKey(ToolKey, readOnly);
    desktop.registry->setValue(ToolKey, QStringLiteral("PATH"), std::move(value));
}

void addToolFolder(RecordingServices& desktop)
{
    desktop.registry->addKey(LocationKey);
    desktop.registry->setValue(LocationKey, QStringLiteral("MSINFO"), text(ToolFolder));
}

struct LaunchCase
{
    const char* name;
    std::function<void(RecordingServices&)> arrange;
    QStringList expectedStarts;
    bool expectMessage;
    QStringList expectedKeys;
    QStringList expectedFileTests;
};

TEST(StartSysInfo, FindsStartsOrReportsTheTool)
{
    const QStringList both {ToolKey, LocationKey};
    const std::vector<LaunchCase> cases = {
        {"path under the tool's key",
         [](RecordingServices& d) {
             addToolPath(d, text(ToolPath));
             addToolFolder(d);
             d.installedPrograms << ToolPath << FolderTool;
             d.files << FolderTool;
         },
         {ToolPath},
         false,
         {ToolKey},
         {}},
        {"stale path under the tool's key: message, no fallback",
         [](RecordingServices& d) {
             addToolPath(d, text(QStringLiteral("D:\\gone\\msinfo32.exe")));
             addToolFolder(d);
             d.installedPrograms << FolderTool;
             d.files << FolderTool;
         },
         {QStringLiteral("D:\\gone\\msinfo32.exe")},
         true,
         {ToolKey},
         {}},
        {"tool's value of another type counts as found with an empty path",
         [](RecordingServices& d) {
             addToolPath(d, {3, QByteArrayLiteral("\x01\x02\x00")});
             addToolFolder(d);
             d.installedPrograms << FolderTool;
             d.files << FolderTool;
         },
         {QString()},
         true,
         {ToolKey},
         {}},
        {"folder under the location key holding the tool",
         [](RecordingServices& d) {
             addToolFolder(d);
             d.installedPrograms << FolderTool;
             d.files << FolderTool;
         },
         {FolderTool},
         false,
         both,
         {FolderTool}},
        {"folder under the location key without the tool",
         [](RecordingServices& d) {
             addToolFolder(d);
             d.installedPrograms << FolderTool;
         },
         {},
         true,
         both,
         {FolderTool}},
        {"neither key", [](RecordingServices&) {}, {}, true, both, {}},
        {"tool's key without its value falls back to the location key",
         [](RecordingServices& d) {
             d.registry->addKey(ToolKey);
             addToolFolder(d);
             d.installedPrograms << FolderTool;
             d.files << FolderTool;
         },
         {FolderTool},
         false,
         both,
         {FolderTool}},
        {"tool's key that cannot be opened to change it counts as missing",
         [](RecordingServices& d) {
             addToolPath(d, text(ToolPath), true);
             addToolFolder(d);
             d.installedPrograms << ToolPath << FolderTool;
             d.files << FolderTool;
         },
         {FolderTool},
         false,
         both,
         {FolderTool}},
        {"path larger than the buffer counts as missing",
         [](RecordingServices& d) {
             addToolPath(d, {Registry::TextType, QByteArray(1025, 'a')});
             addToolFolder(d);
             d.installedPrograms << FolderTool;
             d.files << FolderTool;
         },
         {FolderTool},
         false,
         both,
         {FolderTool}},
        {"path filling the buffer without a zero: message",
         [](RecordingServices& d) {
             addToolPath(d, {Registry::TextType, QByteArray(1024, 'a')});
             addToolFolder(d);
             d.installedPrograms << FolderTool;
             d.files << FolderTool;
         },
         {},
         true,
         {ToolKey},
         {}},
        {"path of 1023 characters and its zero fills the buffer exactly",
         [](RecordingServices& d) {
             addToolPath(d, {Registry::TextType, QByteArray(1023, 'p') + '\0'});
             d.installedPrograms << QString(1023, QLatin1Char('p'));
         },
         {QString(1023, QLatin1Char('p'))},
         false,
         {ToolKey},
         {}},
    };

    for (const LaunchCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        RecordingServices desktop;
        testCase.arrange(desktop);
        SystemInfoLauncher(desktop.services(), QStringLiteral("Tallyvex")).startSysInfo(nullptr);

        EXPECT_EQ(*desktop.startAttempts, testCase.expectedStarts);
        EXPECT_EQ(*desktop.fileTests, testCase.expectedFileTests);
        EXPECT_EQ(desktop.registry->openAttempts(), testCase.expectedKeys);
        EXPECT_EQ(desktop.registry->lastAccess(), 0x2003Fu);
        EXPECT_EQ(desktop.registry->openKeyCount(), 0) << "every opened key is closed again";
        ASSERT_EQ(desktop.messages->size(), testCase.expectMessage ? 1 : 0);
        if (testCase.expectMessage) {
            const MessageBoxRequest& message = desktop.messages->front();
            EXPECT_EQ(message.text, Unavailable);
            EXPECT_EQ(message.title, QStringLiteral("Tallyvex"));
            EXPECT_EQ(message.icon, MessageIcon::None);
        }
    }
}

struct ValueCase
{
    const char* name;
    std::optional<MemoryRegistry::Value> value;
    bool expectedFound;
    QString expectedText;
};

TEST(GetKeyValue, ReadsOneValueAsText)
{
    const QString keep = QStringLiteral("as passed");
    const std::vector<ValueCase> cases = {
        {"text up to its first zero", MemoryRegistry::Value {1, QByteArrayLiteral("C:\\x.exe\0junk\0")}, true,
         QStringLiteral("C:\\x.exe")},
        {"empty text", MemoryRegistry::Value {1, QByteArrayLiteral("\0")}, true, QString()},
        {"number", MemoryRegistry::Value {4, QByteArrayLiteral("\x2A\x00\x00\x00")}, true, QStringLiteral("42")},
        {"number with every byte in place", MemoryRegistry::Value {4, QByteArrayLiteral("\x04\x03\x02\x01")}, true,
         QStringLiteral("16909060")},
        {"largest number", MemoryRegistry::Value {4, QByteArrayLiteral("\xFF\xFF\xFF\xFF")}, true,
         QStringLiteral("4294967295")},
        {"other type leaves the text as passed", MemoryRegistry::Value {7, QByteArrayLiteral("a\0b\0\0")}, true, keep},
        {"missing value", std::nullopt, false, QString()},
        {"value one byte over the buffer", MemoryRegistry::Value {1, QByteArray(1025, 'x')}, false, QString()},
    };

    for (const ValueCase& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        RecordingServices desktop;
        desktop.registry->addKey(ToolKey);
        if (testCase.value)
            desktop.registry->setValue(ToolKey, QStringLiteral("PATH"), *testCase.value);
        QString valueText = keep;
        EXPECT_EQ(SystemInfoTool::getKeyValue(*desktop.registry, Registry::LocalMachine, ToolKey,
                                              QStringLiteral("PATH"), valueText),
                  testCase.expectedFound);
        EXPECT_EQ(valueText, testCase.expectedText);
        EXPECT_EQ(desktop.registry->openKeyCount(), 0);
    }
}

TEST(GetKeyValue, MissingKeyEmptiesTheText)
{
    RecordingServices desktop;
    QString valueText = QStringLiteral("as passed");
    EXPECT_FALSE(SystemInfoTool::getKeyValue(*desktop.registry, Registry::LocalMachine, ToolKey, QStringLiteral("PATH"),
                                             valueText));
    EXPECT_TRUE(valueText.isEmpty());
}

TEST(GetKeyValue, UnterminatedValueRaisesAfterClosingTheKey)
{
    RecordingServices desktop;
    addToolPath(desktop, {Registry::NumberType, QByteArray(1024, '\x7F')});
    QString valueText;
    EXPECT_THROW(SystemInfoTool::getKeyValue(*desktop.registry, Registry::LocalMachine, ToolKey, QStringLiteral("PATH"),
                                             valueText),
                 SystemInfoTool::UnterminatedValue);
    EXPECT_EQ(desktop.registry->openKeyCount(), 0);
}

class SystemToolOnPath : public testing::Test
{
protected:
    QString addProgram(const QString& name)
    {
        const QString path = QDir(m_folder.path()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    QTemporaryDir m_folder;
};

TEST_F(SystemToolOnPath, FindsThePreferredInstalledDesktopTool)
{
    const QStringList searchPath {m_folder.path()};
    addProgram(QStringLiteral("unrelated"));
    EXPECT_EQ(SystemInfoTool::findOnPath(searchPath), std::nullopt);

    addProgram(QStringLiteral("kinfocenter"));
    const QString preferred = addProgram(QStringLiteral("hardinfo"));
    EXPECT_EQ(SystemInfoTool::findOnPath(searchPath), preferred);

    RecordingServices desktop;
    desktop.installedPrograms << preferred;
    PlatformServices services = desktop.services();
    services.findSystemInfoTool = [&searchPath] { return SystemInfoTool::findOnPath(searchPath); };
    SystemInfoLauncher(services, QStringLiteral("Tallyvex")).startSysInfo(nullptr);
    EXPECT_EQ(*desktop.startAttempts, QStringList {preferred});
}

} // namespace
