#pragma once

#include "lsp/FrameReader.h"
#include "lsp/LanguageServer.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

// A client's side of a conversation with a language server run in-process: bytes go in as a client writes
// them, and the server's framed output is read back into messages.
class LspConversation
{
public:
    // programFolder: where the server finds the definitions it ships with.
    explicit LspConversation(std::shared_ptr<const ReplacementSource> replacements = {},
                             const QString& programFolder = QStringLiteral(TALLYVEX_BIN_DIR))
    {
        ServerOptions options;
        options.locale = QLocale(QLocale::English, QLocale::UnitedStates);
        options.programFolder = programFolder;
        options.restMilliseconds = 1;
        options.replacements = std::move(replacements);
        m_server = std::make_unique<LanguageServer>([this](const QByteArray& bytes) { m_replies.append(bytes); },
                                                    std::move(options));
        QObject::connect(m_server.get(), &LanguageServer::finished, [this](int status) { m_exitStatus = status; });
    }

    void sendBytes(const QByteArray& bytes) { m_server->receive(bytes); }
    void send(const QJsonObject& message)
    {
        sendBytes(FrameReader::frame(QJsonDocument(message).toJson(QJsonDocument::Compact)));
    }
    void request(int id, const QString& method, const QJsonObject& params)
    {
        send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}});
    }
    void notify(const QString& method, const QJsonObject& params)
    {
        send({{"jsonrpc", "2.0"}, {"method", method}, {"params", params}});
    }
    void endInput() { m_server->endOfInput(); }

    // Initializes the server with the given capabilities and options, and waits for its answer.
    QJsonObject initialize(const QJsonObject& capabilities = {}, const QJsonObject& options = {})
    {
        request(1, "initialize", {{"capabilities", capabilities}, {"initializationOptions", options}});
        const QJsonObject reply = waitFor([](const QJsonObject& m) { return m[u"id"] == 1; });
        notify("initialized", {});
        return reply;
    }

    // The next message from the server that `wanted` picks, waiting for it; empty when none comes.
    QJsonObject waitFor(const std::function<bool(const QJsonObject&)>& wanted)
    {
        std::optional<QJsonObject> found;
        const bool arrived = QTest::qWaitFor(
            [&] {
                m_replies.drainTo(m_messages);
                for (auto it = m_messages.begin(); it != m_messages.end(); ++it) {
                    if (wanted(*it)) {
                        found = *it;
                        m_messages.erase(it);
                        return true;
                    }
                }
                return false;
            },
            10000);
        EXPECT_TRUE(arrived) << "no such message from the server";
        return found.value_or(QJsonObject {});
    }
    // Whether a message that `wanted` picks has arrived, without waiting.
    bool hasMessage(const std::function<bool(const QJsonObject&)>& wanted)
    {
        m_replies.drainTo(m_messages);
        return std::any_of(m_messages.begin(), m_messages.end(), wanted);
    }
    QJsonObject reply(int id)
    {
        return waitFor([id](const QJsonObject& m) { return m[u"id"] == id && !m.contains("method"); });
    }
    // The diagnostics published for the document at `version`.
    QJsonArray diagnostics(const QString& uri, int version)
    {
        return waitFor([&](const QJsonObject& m) {
                   return m[u"method"] == "textDocument/publishDiagnostics" && m[u"params"][u"uri"] == uri
                       && m[u"params"][u"version"] == version;
               })[u"params"][u"diagnostics"]
            .toArray();
    }

    std::optional<int> exitStatus() const { return m_exitStatus; }

private:
    // The server's output, read back into messages.
    struct Replies
    {
        FrameReader frames;

        void append(const QByteArray& bytes) { frames.append(bytes); }
        void drainTo(std::vector<QJsonObject>& messages)
        {
            while (const std::optional<FrameReader::Frame> frame = frames.next())
                messages.push_back(QJsonDocument::fromJson(frame->content).object());
        }
    };

    Replies m_replies;
    std::vector<QJsonObject> m_messages;
    std::unique_ptr<LanguageServer> m_server;
    std::optional<int> m_exitStatus;
};

// JSON for a position and a range.
inline QJsonObject lspPosition(int line, int character)
{
    return {{"line", line}, {"character", character}};
}
inline QJsonObject lspRange(int line, int from, int to)
{
    return {{"start", lspPosition(line, from)}, {"end", lspPosition(line, to)}};
}
