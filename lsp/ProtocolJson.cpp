#include "lsp/ProtocolJson.h"

#include <algorithm>

namespace ProtocolJson {

QJsonObject response(const QJsonValue& id, const QJsonValue& result)
{
    return {{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
            {QStringLiteral("id"), id},
            {QStringLiteral("result"), result}};
}

QJsonObject errorResponse(const QJsonValue& id, ErrorCode code, const QString& message)
{
    return {{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
            {QStringLiteral("id"), id},
            {QStringLiteral("error"),
             QJsonObject {{QStringLiteral("code"), int(code)}, {QStringLiteral("message"), message}}}};
}

QJsonObject notification(const QString& method, const QJsonObject& params)
{
    return {{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
            {QStringLiteral("method"), method},
            {QStringLiteral("params"), params}};
}

QString encodingName(PositionEncoding encoding)
{
    switch (encoding) {
    case PositionEncoding::Utf8:
        return QStringLiteral("utf-8");
    case PositionEncoding::Utf32:
        return QStringLiteral("utf-32");
    case PositionEncoding::Utf16:
        break;
    }
    return QStringLiteral("utf-16");
}

std::optional<PositionEncoding> encodingNamed(const QString& name)
{
    for (const PositionEncoding encoding : {PositionEncoding::Utf8, PositionEncoding::Utf16, PositionEncoding::Utf32}) {
        if (name == encodingName(encoding))
            return encoding;
    }
    return std::nullopt;
}

QJsonObject position(DocumentPosition position)
{
    return {{QStringLiteral("line"), position.line}, {QStringLiteral("character"), position.character}};
}

std::optional<DocumentPosition> positionFrom(const QJsonValue& value)
{
    // Lines and characters beyond any text are the text's end; counts below 0 are no position.
    constexpr double Beyond = 1e15;
    const double line = value[QLatin1String("line")].toDouble(-1);
    const double character = value[QLatin1String("character")].toDouble(-1);
    if (!(line >= 0 && character >= 0))
        return std::nullopt;
    return DocumentPosition {qsizetype(std::min(line, Beyond)), qsizetype(std::min(character, Beyond))};
}

QJsonObject range(const TextDocument& document, TextRange range, PositionEncoding encoding)
{
    return {{QStringLiteral("start"), position(document.positionAt(range.start, encoding))},
            {QStringLiteral("end"), position(document.positionAt(range.end, encoding))}};
}

std::optional<TextRange> rangeFrom(const TextDocument& document, const QJsonValue& value, PositionEncoding encoding)
{
    const std::optional<DocumentPosition> start = positionFrom(value[QLatin1String("start")]);
    const std::optional<DocumentPosition> end = positionFrom(value[QLatin1String("end")]);
    if (!start || !end)
        return std::nullopt;
    const qsizetype from = document.offsetAt(*start, encoding);
    const qsizetype to = document.offsetAt(*end, encoding);
    return TextRange {std::min(from, to), std::max(from, to)};
}

} // namespace ProtocolJson
