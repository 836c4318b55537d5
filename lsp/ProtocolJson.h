#pragma once

#include "lsp/DocumentRater.h"
#include "lsp/TextDocument.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <optional>

// The pieces of JSON-RPC and of the protocol's types that the server reads and writes.
namespace ProtocolJson {

// The error codes of JSON-RPC and of the protocol.
enum ErrorCode
{
    ParseError = -32700,
    InvalidRequest = -32600,
    MethodNotFound = -32601,
    InvalidParams = -32602,
    ServerNotInitialized = -32002,
};

QJsonObject response(const QJsonValue& id, const QJsonValue& result);
QJsonObject errorResponse(const QJsonValue& id, ErrorCode code, const QString& message);
QJsonObject notification(const QString& method, const QJsonObject& params);

// The name of an encoding ("utf-16"), and the encoding of a name.
QString encodingName(PositionEncoding encoding);
std::optional<PositionEncoding> encodingNamed(const QString& name);

QJsonObject position(DocumentPosition position);
std::optional<DocumentPosition> positionFrom(const QJsonValue& value);
QJsonObject range(const TextDocument& document, TextRange range, PositionEncoding encoding);
std::optional<TextRange> rangeFrom(const TextDocument& document, const QJsonValue& value, PositionEncoding encoding);

} // namespace ProtocolJson
