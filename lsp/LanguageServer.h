#pragma once

#include "lsp/DocumentRater.h"
#include "lsp/FrameReader.h"
#include "lsp/RatingThread.h"
#include "lsp/TextDocument.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QLocale>
#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class ReplacementSource;

// What the server is started with.
struct ServerOptions
{
    QLocale locale = QLocale::system();
    // Where the shipped definitions are looked for.
    QString programFolder;
    // How long a document must rest after a change before it is rated again.
    int restMilliseconds = 150;
    // The wordings the quick fixes offer; when not given, the plainer wordings beside the definitions.
    std::shared_ptr<const ReplacementSource> replacements;
};

// The language server: reads the client's messages, keeps the open documents, rates each on the rating
// thread once it has rested after a change, and answers with diagnostics, hovers and quick fixes.
class LanguageServer : public QObject
{
    Q_OBJECT

public:
    // Writes framed bytes to the client.
    using Output = std::function<void(const QByteArray& bytes)>;

    LanguageServer(Output output, ServerOptions options, QObject* parent = nullptr);
    ~LanguageServer() override;

    // Bytes from the client, in pieces of any size.
    void receive(const QByteArray& bytes);
    // The client's input ended.
    void endOfInput();

signals:
    // The conversation is over; the program ends with this status: 0 after a shutdown request, else 1.
    void finished(int exitStatus);

private:
    // What the user set through the initialization options or the configuration.
    struct Settings
    {
        QString definitionsPath;
        bool lightPhrases = true;
    };

    struct OpenDocument
    {
        QString uri;
        MessageFormat kind = MessageFormat::Text;
        // The client's version, and the server's count of changes, which tells texts apart across a close
        // and a new open of the same document.
        int version = 0;
        quint64 revision = 0;
        TextDocument text;
        QTimer rest;
        // The revision being rated on the rating thread.
        std::optional<quint64> ratingUnderWay;
        std::optional<DocumentRating> rating;
        quint64 ratedRevision = 0;
        // Requests that wait for a rating of the text as it stands; called with nothing if the document closes.
        std::vector<std::function<void(const OpenDocument*)>> waiting;
    };

    void handleMessage(const QByteArray& content);
    void handleRequest(const QString& method, const QJsonValue& id, const QJsonObject& params);
    void handleNotification(const QString& method, const QJsonObject& params);
    void send(const QJsonObject& message);
    void finish();

    QJsonObject initialize(const QJsonObject& params);
    // Takes the settings given; gives whether they name the definitions file.
    bool takeSettings(const QJsonValue& settings);
    void changeConfiguration(const QJsonObject& params);
    void loadDefinitions();
    void showError(const QString& text);

    void open(const QJsonObject& params);
    void change(const QJsonObject& params);
    void close(const QJsonObject& params);
    OpenDocument* documentOf(const QJsonObject& params);

    void startRating(OpenDocument& document);
    void rated(const QString& uri, quint64 revision, DocumentRating rating);
    void publish(const OpenDocument& document);
    // Calls `then` with the document once a rating of its current text is at hand.
    void whenRated(OpenDocument& document, std::function<void(const OpenDocument*)> then);

    void hover(const QJsonValue& id, const QJsonObject& params);
    void codeAction(const QJsonValue& id, const QJsonObject& params);

    Output m_output;
    ServerOptions m_options;
    FrameReader m_frames;
    bool m_initialized = false;
    bool m_shutdownRequested = false;
    bool m_finished = false;
    PositionEncoding m_encoding = PositionEncoding::Utf16;
    Settings m_settings;
    quint64 m_revisions = 0;
    std::map<QString, std::unique_ptr<OpenDocument>> m_documents;
    RatingThread m_rating;
};
