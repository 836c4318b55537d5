#include "RecordingServices.h"

#include "platform/SystemInfoTool.h"

#include <QUrl>

RecordingServices::RecordingServices()
    : registry(std::make_shared<MemoryRegistry>())
    , m_previousPresenter(MessageBoxes::setPresenter(
          [messages = messages](QWidget*, const MessageBoxRequest& request) { *messages << request; }))
{
}

RecordingServices::~RecordingServices()
{
    MessageBoxes::setPresenter(std::move(m_previousPresenter));
}

PlatformServices RecordingServices::services() const
{
    PlatformServices result;
    result.openAddress = [addresses = addresses, browser = hasBrowser](const QUrl& address) {
        *addresses << QString::fromLatin1(address.toEncoded());
        return *browser;
    };
    result.startProgram = [startAttempts = startAttempts, installed = installedPrograms](const QString& program) {
        *startAttempts << program;
        return installed.contains(program);
    };
    // The tool is looked up in the recorded registry, as on Windows.
    result.findSystemInfoTool = [registry = registry, fileTests = fileTests, files = files] {
        return SystemInfoTool::findInRegistry(*registry, [&fileTests, &files](const QString& path) {
            *fileTests << path;
            return files.contains(path);
        });
    };
    result.chooseMessageFile = [chosen = chosenFile, dialogs = fileDialogs](QWidget*) {
        ++*dialogs;
        return *chosen;
    };
    return result;
}
