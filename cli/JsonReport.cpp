#include "cli/JsonReport.h"

#include <QJsonDocument>

void JsonReport::write(const RatedMessage& rated)
{
    if (rated.alone)
        m_out << QJsonDocument(rated.report.toJson()).toJson(QJsonDocument::Indented);
    else
        writeLine(rated.report.toJson(), rated.read);
}

void JsonReport::writeFault(const ReadMessage& read)
{
    writeLine(QJsonObject {{QStringLiteral("error"), read.fault}, {QStringLiteral("status"), read.faultStatus}}, read);
}

void JsonReport::writeLine(QJsonObject object, const ReadMessage& read)
{
    if (!read.file.isEmpty())
        object.insert(QStringLiteral("file"), NativePath::unicode(read.file));
    if (read.number > 0) {
        QJsonObject message = object.value(QStringLiteral("message")).toObject();
        message.insert(QStringLiteral("number"), read.number);
        object.insert(QStringLiteral("message"), message);
    }
    m_out << QJsonDocument(object).toJson(QJsonDocument::Compact) << '\n';
}
