#include "RecordingServices.h"

#include <QUrl>

RecordingServices::RecordingServices()
    : registry(std::make_shared<MemoryRegistry>())
{
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
    result.showMessage
        = [messages = messages](QWidget*, const PlatformServices::Message& message) { *messages << message; };
    return result;
}
