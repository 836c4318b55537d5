#include "RecordingServices.h"

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
    result.registry = registry;
    result.openAddress
        = [addresses = addresses](const QUrl& address) { *addresses << QString::fromLatin1(address.toEncoded()); };
    result.startProgram = [startAttempts = startAttempts, installed = installedPrograms](const QString& program) {
        *startAttempts << program;
        return installed.contains(program);
    };
    result.isFile = [fileTests = fileTests, files = files](const QString& path) {
        *fileTests << path;
        return files.contains(path);
    };
    return result;
}
