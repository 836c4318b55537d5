#include "lsp/LanguageServer.h"

#include "lsp/CodeActions.h"
#include "lsp/FindingDiagnostics.h"
#include "lsp/ProtocolJson.h"
#include "lsp/ReplacementSource.h"
#include "platform/AppIdentity.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>

using namespace ProtocolJson;

namespace {

// Changes come in pieces that replace a range; a piece without a range replaces the whole text.
constexpr int IncrementalSync = 2;
constexpr int ErrorMessage = 1;

QString textOf(const QJsonValue& value, QLatin1String key)
{
    return value[key].toString();
}

bool asksForQuickFixes(const QJsonArray& only)
{
    const QString quickFix = QStringLiteral("quickfix");
    if (only.isEmpty())
        return true;
    for (const QJsonValue& kind : only) {
        const QString name = kind.toString();
        if (name.isEmpty() || name == quickFix)
            return true;
    }
    return false;
}

} // namespace

LanguageServer::LanguageServer(Output output, ServerOptions options, QObject* parent)
    : QObject(parent)
    , m_output(std::move(output))
    , m_options(std::move(options))
    , m_rating(m_options.locale, m_options.programFolder)
{
    if (!m_options.replacements)
        m_options.replacements = std::make_shared<AlternativeWordings>();
}

LanguageServer::~LanguageServer() = default;

void LanguageServer::receive(const QByteArray& bytes)
{
    if (m_finished)
        return;
    m_frames.append(bytes);
    while (!m_finished) {
        const std::optional<FrameReader::Frame> frame = m_frames.next();
        if (!frame)
            break;
        if (frame->fault.isEmpty())
            handleMessage(frame->content);
        else
            send(errorResponse(QJsonValue::Null, ParseError,
                               QStringLiteral("Cannot read a message: %1").arg(frame->fault)));
    }
}

void LanguageServer::endOfInput()
{
    finish();
}

void LanguageServer::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    emit finished(m_shutdownRequested ? 0 : 1);
}

void LanguageServer::send(const QJsonObject& message)
{
    if (!m_finished)
        m_output(FrameReader::frame(QJsonDocument(message).toJson(QJsonDocument::Compact)));
}

void LanguageServer::handleMessage(const QByteArray& content)
{
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(content, &error);
    if (error.error != QJsonParseError::NoError) {
        send(errorResponse(
            QJsonValue::Null, ParseError,
            QStringLiteral("The message is not JSON: %1 at byte %2").arg(error.errorString()).arg(error.offset)));
        return;
    }
    const QJsonObject message = json.object();
    const QJsonValue id = message.value(QLatin1String("id"));
    const QJsonValue method = message.value(QLatin1String("method"));
    const QJsonValue params = message.value(QLatin1String("params"));
    const bool idValid = id.isUndefined() || id.isDouble() || id.isString();
    if (!json.isObject() || message.value(QLatin1String("jsonrpc")).toString() != u"2.0" || !method.isString()
        || !idValid || !(params.isUndefined() || params.isNull() || params.isObject())) {
        // The client's answers to requests of ours: the server sends none, so there is nothing to take from them.
        if (json.isObject() && method.isUndefined()
            && (message.contains(QLatin1String("result")) || message.contains(QLatin1String("error"))))
            return;
        send(errorResponse(id.isDouble() || id.isString() ? id : QJsonValue::Null, InvalidRequest,
                           QStringLiteral("Not a JSON-RPC 2.0 request or notification with object params, or none.")));
        return;
    }
    if (id.isUndefined())
        handleNotification(method.toString(), params.toObject());
    else
        handleRequest(method.toString(), id, params.toObject());
}

void LanguageServer::handleRequest(const QString& method, const QJsonValue& id, const QJsonObject& params)
{
    if (method == u"initialize") {
        if (m_initialized)
            send(errorResponse(id, InvalidRequest, QStringLiteral("The server is initialized already.")));
        else
            send(response(id, initialize(params)));
        return;
    }
    if (!m_initialized) {
        send(errorResponse(id, ServerNotInitialized, QStringLiteral("The server is not initialized yet.")));
        return;
    }
    if (m_shutdownRequested) {
        send(errorResponse(id, InvalidRequest, QStringLiteral("The server is shutting down.")));
        return;
    }
    if (method == u"shutdown") {
        m_shutdownRequested = true;
        // Answered once the work asked for before it is done, so that every request before it has its answer.
        m_rating.run(
            this, [](DocumentRater&) { return true; }, [this, id](bool) { send(response(id, QJsonValue::Null)); });
    } else if (method == u"textDocument/hover") {
        hover(id, params);
    } else if (method == u"textDocument/codeAction") {
        codeAction(id, params);
    } else {
        send(errorResponse(id, MethodNotFound, QStringLiteral("Unknown method: %1").arg(method)));
    }
}

void LanguageServer::handleNotification(const QString& method, const QJsonObject& params)
{
    if (method == u"exit") {
        finish();
        return;
    }
    if (!m_initialized || m_shutdownRequested)
        return;
    if (method == u"textDocument/didOpen")
        open(params);
    else if (method == u"textDocument/didChange")
        change(params);
    else if (method == u"textDocument/didClose")
        close(params);
    else if (method == u"workspace/didChangeConfiguration")
        changeConfiguration(params);
}

QJsonObject LanguageServer::initialize(const QJsonObject& params)
{
    m_initialized = true;
    const QJsonArray offered
        = params[QLatin1String("capabilities")][QLatin1String("general")][QLatin1String("positionEncodings")].toArray();
    // The client names the encodings in the order it prefers them.
    for (const QJsonValue& name : offered) {
        if (const std::optional<PositionEncoding> encoding = encodingNamed(name.toString())) {
            m_encoding = *encoding;
            break;
        }
    }
    takeSettings(params.value(QLatin1String("initializationOptions")));
    loadDefinitions();
    const QJsonObject capabilities {
        {QStringLiteral("positionEncoding"), encodingName(m_encoding)},
        {QStringLiteral("textDocumentSync"),
         QJsonObject {{QStringLiteral("openClose"), true}, {QStringLiteral("change"), IncrementalSync}}},
        {QStringLiteral("hoverProvider"), true},
        {QStringLiteral("codeActionProvider"),
         QJsonObject {{QStringLiteral("codeActionKinds"), QJsonArray {QStringLiteral("quickfix")}}}},
    };
    return {{QStringLiteral("capabilities"), capabilities},
            {QStringLiteral("serverInfo"),
             QJsonObject {{QStringLiteral("name"), QStringLiteral("tallyvex-lsp")},
                          {QStringLiteral("version"), QString::fromLatin1(AppIdentity::Version)}}}};
}

bool LanguageServer::takeSettings(const QJsonValue& settings)
{
    // Clients send the settings of every server, each under its name, or only these.
    const QJsonObject own = settings[QLatin1String("tallyvex")].isObject()
        ? settings[QLatin1String("tallyvex")].toObject()
        : settings.toObject();
    const QJsonValue lightPhrases = own.value(QLatin1String("lightPhrases"));
    if (lightPhrases.isBool())
        m_settings.lightPhrases = lightPhrases.toBool();
    if (!own.contains(QLatin1String("definitions")))
        return false;
    m_settings.definitionsPath = own.value(QLatin1String("definitions")).toString();
    return true;
}

void LanguageServer::changeConfiguration(const QJsonObject& params)
{
    const bool lightPhrases = m_settings.lightPhrases;
    if (takeSettings(params.value(QLatin1String("settings")))) {
        // The file named is read again even when it is the same: the user may have changed it.
        loadDefinitions();
        for (auto& [uri, document] : m_documents)
            startRating(*document);
        return;
    }
    if (m_settings.lightPhrases == lightPhrases)
        return;
    for (auto& [uri, document] : m_documents) {
        if (document->rating && document->ratedRevision == document->revision)
            publish(*document);
    }
}

void LanguageServer::loadDefinitions()
{
    m_rating.run(
        this, [path = m_settings.definitionsPath](DocumentRater& rater) { return rater.useDefinitions(path); },
        [this](const QString& fault) {
            if (!fault.isEmpty())
                showError(fault);
        });
}

void LanguageServer::showError(const QString& text)
{
    send(notification(QStringLiteral("window/showMessage"),
                      {{QStringLiteral("type"), ErrorMessage}, {QStringLiteral("message"), text}}));
}

LanguageServer::OpenDocument* LanguageServer::documentOf(const QJsonObject& params)
{
    const auto found = m_documents.find(textOf(params[QLatin1String("textDocument")], QLatin1String("uri")));
    return found == m_documents.end() ? nullptr : found->second.get();
}

void LanguageServer::open(const QJsonObject& params)
{
    const QJsonValue item = params[QLatin1String("textDocument")];
    const QString uri = textOf(item, QLatin1String("uri"));
    if (uri.isEmpty())
        return;
    // Opened again without a close: what waited for the old text is answered as for a closed document.
    close(params);
    auto document = std::make_unique<OpenDocument>();
    document->uri = uri;
    document->kind = DocumentRater::kindOf(QUrl(uri).path(), textOf(item, QLatin1String("languageId")));
    document->version = item[QLatin1String("version")].toInt();
    document->revision = ++m_revisions;
    document->text = TextDocument(textOf(item, QLatin1String("text")));
    document->rest.setSingleShot(true);
    document->rest.setTimerType(Qt::PreciseTimer);
    connect(&document->rest, &QTimer::timeout, this, [this, opened = document.get()] { startRating(*opened); });
    document->rest.start(m_options.restMilliseconds);
    m_documents[uri] = std::move(document);
}

void LanguageServer::change(const QJsonObject& params)
{
    OpenDocument* document = documentOf(params);
    if (!document)
        return;
    for (const QJsonValue& piece : params[QLatin1String("contentChanges")].toArray()) {
        const QString text = textOf(piece, QLatin1String("text"));
        if (!piece[QLatin1String("range")].isObject()) {
            document->text = TextDocument(text);
        } else if (const std::optional<TextRange> range
                   = rangeFrom(document->text, piece[QLatin1String("range")], m_encoding)) {
            document->text.replace(range->start, range->end, text);
        }
    }
    document->version = params[QLatin1String("textDocument")][QLatin1String("version")].toInt(document->version);
    document->revision = ++m_revisions;
    document->rest.start(m_options.restMilliseconds);
}

void LanguageServer::close(const QJsonObject& params)
{
    const auto found = m_documents.find(textOf(params[QLatin1String("textDocument")], QLatin1String("uri")));
    if (found == m_documents.end())
        return;
    const std::unique_ptr<OpenDocument> document = std::move(found->second);
    m_documents.erase(found);
    for (const auto& then : document->waiting)
        then(nullptr);
    // The marks of a closed document go with it.
    send(notification(QStringLiteral("textDocument/publishDiagnostics"),
                      {{QStringLiteral("uri"), document->uri}, {QStringLiteral("diagnostics"), QJsonArray {}}}));
}

void LanguageServer::startRating(OpenDocument& document)
{
    document.rest.stop();
    // A rating under way of an older text is followed by one of the newer text when it ends.
    if (document.ratingUnderWay)
        return;
    document.ratingUnderWay = document.revision;
    m_rating.run(
        this,
        [text = document.text.text(), kind = document.kind](DocumentRater& rater) { return rater.rate(text, kind); },
        [this, uri = document.uri, revision = document.revision](DocumentRating rating) {
            rated(uri, revision, std::move(rating));
        });
}

void LanguageServer::rated(const QString& uri, quint64 revision, DocumentRating rating)
{
    const auto found = m_documents.find(uri);
    // A rating of a document closed since is of no use.
    if (found == m_documents.end() || found->second->ratingUnderWay != revision)
        return;
    OpenDocument& document = *found->second;
    document.ratingUnderWay.reset();
    if (revision != document.revision) {
        if (!document.rest.isActive() || !document.waiting.empty())
            startRating(document);
        return;
    }
    document.rating = std::move(rating);
    document.ratedRevision = revision;
    publish(document);
    const auto waiting = std::move(document.waiting);
    document.waiting.clear();
    for (const auto& then : waiting)
        then(&document);
}

void LanguageServer::publish(const OpenDocument& document)
{
    send(
        notification(QStringLiteral("textDocument/publishDiagnostics"),
                     {{QStringLiteral("uri"), document.uri},
                      {QStringLiteral("version"), document.version},
                      {QStringLiteral("diagnostics"),
                       FindingDiagnostics::of(*document.rating, document.text, m_encoding, m_settings.lightPhrases)}}));
}

void LanguageServer::whenRated(OpenDocument& document, std::function<void(const OpenDocument*)> then)
{
    if (document.rating && document.ratedRevision == document.revision) {
        then(&document);
        return;
    }
    document.waiting.push_back(std::move(then));
    startRating(document);
}

void LanguageServer::hover(const QJsonValue& id, const QJsonObject& params)
{
    const std::optional<DocumentPosition> position = positionFrom(params[QLatin1String("position")]);
    if (!position) {
        send(errorResponse(id, InvalidParams, QStringLiteral("A hover needs a position.")));
        return;
    }
    const OpenDocument* document = documentOf(params);
    if (!document) {
        send(response(id, QJsonValue::Null));
        return;
    }
    m_rating.run(
        this,
        [text = document->text.text(), kind = document->kind, offset = document->text.offsetAt(*position, m_encoding),
         withLight = m_settings.lightPhrases](DocumentRater& rater) {
            return rater.explainAt(text, kind, offset, withLight);
        },
        [this, id, uri = document->uri, revision = document->revision](std::optional<Explanation> explanation) {
            if (!explanation) {
                send(response(id, QJsonValue::Null));
                return;
            }
            QJsonObject hover {{QStringLiteral("contents"),
                                QJsonObject {{QStringLiteral("kind"), QStringLiteral("plaintext")},
                                             {QStringLiteral("value"), explanation->text}}}};
            // The range is told only while it is still that of the text the explanation was made for.
            const auto found = m_documents.find(uri);
            if (found != m_documents.end() && found->second->revision == revision)
                hover.insert(QStringLiteral("range"), range(found->second->text, explanation->range, m_encoding));
            send(response(id, hover));
        });
}

void LanguageServer::codeAction(const QJsonValue& id, const QJsonObject& params)
{
    OpenDocument* document = documentOf(params);
    const std::optional<TextRange> requested
        = document ? rangeFrom(document->text, params[QLatin1String("range")], m_encoding) : std::nullopt;
    if (document && !requested) {
        send(errorResponse(id, InvalidParams, QStringLiteral("Code actions need a range.")));
        return;
    }
    if (!document || !asksForQuickFixes(params[QLatin1String("context")][QLatin1String("only")].toArray())) {
        send(response(id, QJsonArray {}));
        return;
    }
    whenRated(*document, [this, id, revision = document->revision, requested = *requested](const OpenDocument* rated) {
        // The text changed since the request: its range no longer says which occurrences were meant.
        if (!rated || rated->revision != revision) {
            send(response(id, QJsonArray {}));
            return;
        }
        send(response(id,
                      CodeActions::quickFixes(rated->uri, *rated->rating, rated->text, m_encoding, requested,
                                              m_settings.lightPhrases, *m_options.replacements)));
    });
}
