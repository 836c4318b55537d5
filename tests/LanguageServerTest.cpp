#include "LspConversation.h"
#include "QtPrinters.h"
#include "TemporaryFiles.h"

#include "lsp/ReplacementSource.h"
#include "lsp/TextDocument.h"

#include <QTemporaryDir>

namespace {

const QString SmallDefinitions = QStringLiteral(TALLYVEX_TEST_DATA "/small.dat");
const QJsonObject SmallOptions {{"definitions", SmallDefinitions}};

// Opens a document and gives the diagnostics of its first rating.
QJsonArray openDocument(LspConversation& client, const QString& uri, const QString& text, const QString& language = {})
{
    client.notify(
        "textDocument/didOpen",
        {{"textDocument", QJsonObject {{"uri", uri}, {"languageId", language}, {"version", 1}, {"text", text}}}});
    return client.diagnostics(uri, 1);
}

// A diagnostic as the tests compare it: its code and where it stands (start line, character, end line, character).
struct Mark
{
    QString code;
    int line = 0;
    int from = 0;
    int endLine = 0;
    int to = 0;

    friend bool operator==(const Mark&, const Mark&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Mark& m)
    {
        return out << m.code.toStdString() << ' ' << m.line << ':' << m.from << '-' << m.endLine << ':' << m.to;
    }
};

std::vector<Mark> marksOf(const QJsonArray& diagnostics)
{
    std::vector<Mark> marks;
    for (const QJsonValue& d : diagnostics) {
        const QJsonValue range = d[u"range"];
        marks.push_back({d[u"code"].toString(), range[u"start"][u"line"].toInt(), range[u"start"][u"character"].toInt(),
                         range[u"end"][u"line"].toInt(), range[u"end"][u"character"].toInt()});
    }
    return marks;
}

QStringList messagesOf(const QJsonArray& diagnostics)
{
    QStringList messages;
    for (const QJsonValue& d : diagnostics)
        messages << d[u"message"].toString();
    return messages;
}

// Offers two wordings for "free" (the second removes it) and none for anything else.
class TestReplacements final : public ReplacementSource
{
public:
    QStringList replacementsFor(const Finding& finding) const override
    {
        return finding.phrase == u"free" ? QStringList {QStringLiteral("at no cost"), QString()} : QStringList {};
    }
};

// Applies the text edits of a workspace edit, as a client does, to a text whose lines end at LF.
QString applyEdit(QString text, const QJsonValue& edit, const QString& uri)
{
    const auto offsetOf = [&text](const QJsonValue& position) {
        qsizetype offset = 0;
        for (int line = 0; line < position[u"line"].toInt(); ++line)
            offset = text.indexOf(u'\n', offset) + 1;
        return offset + position[u"character"].toInt();
    };
    for (const QJsonValue& change : edit[u"changes"][uri].toArray()) {
        const qsizetype from = offsetOf(change[u"range"][u"start"]);
        text.replace(from, offsetOf(change[u"range"][u"end"]) - from, change[u"newText"].toString());
    }
    return text;
}

} // namespace

TEST(LanguageServer, MalformedMessagesGetAnErrorAndTheServerGoesOn)
{
    const QByteArray validShutdown = FrameReader::frame(R"({"jsonrpc":"2.0","id":99,"method":"shutdown"})");
    struct Case
    {
        const char* name;
        QByteArray bytes;
        QJsonValue id;
        int code;
    };
    const std::vector<Case> cases {
        {"not JSON", FrameReader::frame("{\"jsonrpc\": \"2.0\", \"id\": 3,"), QJsonValue::Null, -32700},
        {"header without Content-Length", "Content-Type: application/json\r\n\r\n", QJsonValue::Null, -32700},
        {"Content-Length not a number", "Content-Length: twelve\r\n\r\n", QJsonValue::Null, -32700},
        {"not JSON-RPC 2.0", FrameReader::frame(R"({"jsonrpc":"1.0","id":7,"method":"shutdown"})"), 7, -32600},
        {"params not an object", FrameReader::frame(R"({"jsonrpc":"2.0","id":8,"method":"shutdown","params":[1]})"), 8,
         -32600},
        {"unknown method", FrameReader::frame(R"({"jsonrpc":"2.0","id":"x","method":"textDocument/rename"})"), "x",
         -32601},
        {"hover without a position",
         FrameReader::frame(R"({"jsonrpc":"2.0","id":5,"method":"textDocument/hover","params":{}})"), 5, -32602},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LspConversation client;
        client.initialize();
        // The bad message and the next one arrive together, and the rest of the next one byte by byte.
        const QByteArray stream = c.bytes + validShutdown;
        const qsizetype together = c.bytes.size() + 10;
        client.sendBytes(stream.first(together));
        for (qsizetype i = together; i < stream.size(); ++i)
            client.sendBytes(stream.sliced(i, 1));
        const QJsonObject error = client.waitFor([](const QJsonObject& m) { return m.contains("error"); });
        EXPECT_EQ(error[u"id"], c.id);
        EXPECT_EQ(error[u"error"][u"code"].toInt(), c.code);
        EXPECT_EQ(client.reply(99)[u"result"], QJsonValue::Null);
    }
}

TEST(LanguageServer, ReplaysARecordedNeovimSession)
{
    // What Neovim 0.7 sent while tests/lsp/neovim-client.lua ran: initialize, initialized, open
    // spring-offer.html, type "Free gift! " on the line of the astral character, hover on "free", shutdown, exit.
    QFile recording(QStringLiteral(TALLYVEX_TEST_DATA "/lsp/neovim-0.7-session.bin"));
    ASSERT_TRUE(recording.open(QIODevice::ReadOnly));
    FrameReader recorded;
    recorded.append(recording.readAll());
    QTemporaryDir programFolder;
    ASSERT_TRUE(QFile::copy(SmallDefinitions, programFolder.filePath("Definitions.dat")));
    LspConversation client({}, programFolder.path());
    // Each message as it was sent, in pieces of 7 bytes: headers and contents are cut anywhere.
    const auto replay = [&](int count) {
        for (int i = 0; i < count; ++i) {
            const QByteArray bytes = FrameReader::frame(recorded.next().value().content);
            for (qsizetype at = 0; at < bytes.size(); at += 7)
                client.sendBytes(bytes.sliced(at, std::min<qsizetype>(7, bytes.size() - at)));
        }
    };

    const QString uri = QStringLiteral("file:///home/writer/templates/spring-offer.html");
    replay(1);
    EXPECT_EQ(client.reply(1)[u"result"][u"capabilities"][u"positionEncoding"], "utf-16");
    replay(2);
    EXPECT_EQ(marksOf(client.diagnostics(uri, 0)),
              (std::vector<Mark> {
                  {"heavy", 2, 13, 2, 20}, {"medium", 4, 33, 4, 37}, {"light", 5, 3, 5, 13}, {"verdict", 0, 0, 0, 0}}));
    replay(1);
    EXPECT_EQ(marksOf(client.diagnostics(uri, 5)),
              (std::vector<Mark> {{"heavy", 2, 13, 2, 20},
                                  {"medium", 4, 3, 4, 7},
                                  {"medium", 4, 44, 4, 48},
                                  {"light", 5, 3, 5, 13},
                                  {"verdict", 0, 0, 0, 0}}));
    // The hover and the shutdown at once: the hover is answered first.
    replay(2);
    EXPECT_EQ(client.reply(3)[u"result"], QJsonValue::Null);
    ASSERT_TRUE(client.hasMessage([](const QJsonObject& m) { return m[u"id"] == 2; }));
    const QJsonObject hover = client.reply(2)[u"result"].toObject();
    EXPECT_EQ(hover[u"contents"][u"value"],
              "\u201cfree\u201d adds 1.5 to the score each time a scan counts it.\n"
              "Written in capitals it counts twice: 3.\n"
              "It occurs 2 times in this message; a scan counts 2 of them.");
    EXPECT_EQ(hover[u"range"], lspRange(4, 44, 48));
    replay(1);
    EXPECT_EQ(client.exitStatus(), 0);
}

TEST(LanguageServer, LifecycleEndsWithTheStatusOfAnOrderlyShutdown)
{
    struct Case
    {
        const char* name;
        bool initialize;
        bool shutdown;
        bool exitNotification;
        int exitStatus;
    };
    const std::vector<Case> cases {
        {"shutdown, then exit", true, true, true, 0},        {"exit without shutdown", true, false, true, 1},
        {"input ends after shutdown", true, true, false, 0}, {"input ends without shutdown", true, false, false, 1},
        {"exit before initialize", false, false, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LspConversation client;
        if (c.initialize) {
            client.initialize();
        } else {
            client.request(2, "textDocument/hover", {});
            EXPECT_EQ(client.reply(2)[u"error"][u"code"].toInt(), -32002);
        }
        if (c.shutdown) {
            // Some clients send void params as null.
            client.send({{"jsonrpc", "2.0"}, {"id", 3}, {"method", "shutdown"}, {"params", QJsonValue::Null}});
            EXPECT_EQ(client.reply(3)[u"result"], QJsonValue::Null);
            client.request(4, "textDocument/hover", {});
            EXPECT_EQ(client.reply(4)[u"error"][u"code"].toInt(), -32600);
        }
        EXPECT_FALSE(client.exitStatus());
        if (c.exitNotification)
            client.notify("exit", {});
        else
            client.endInput();
        EXPECT_EQ(client.exitStatus(), c.exitStatus);
    }
}

TEST(LanguageServer, PositionsAndIncrementalEditsInEachEncoding)
{
    // Astral characters before each phrase: two UTF-16 units, four UTF-8 bytes, one code point each.
    const QString text = QStringLiteral("Hi \U0001F600\U0001F600 FREE offer\r\nact now \U0001F600 click here\n");
    const QString uri = QStringLiteral("file:///templates/offer.md");
    struct Case
    {
        const char* name;
        QJsonArray offered;
        QString chosen;
        int emoji;
    };
    const std::vector<Case> cases {
        {"UTF-16 by default", {}, "utf-16", 2},
        {"UTF-8 offered first", {"utf-8", "utf-16"}, "utf-8", 4},
        {"UTF-32 offered", {"utf-32"}, "utf-32", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LspConversation client;
        const QJsonObject initialized
            = client.initialize({{"general", QJsonObject {{"positionEncodings", c.offered}}}}, SmallOptions);
        EXPECT_EQ(initialized[u"result"][u"capabilities"][u"positionEncoding"], c.chosen);
        const int e = c.emoji;
        const QJsonArray opened = openDocument(client, uri, text);
        EXPECT_EQ(marksOf(opened),
                  (std::vector<Mark> {{"medium", 0, 4 + 2 * e, 0, 8 + 2 * e},
                                      {"heavy", 1, 0, 1, 7},
                                      {"light", 1, 9 + e, 1, 19 + e},
                                      {"verdict", 0, 0, 0, 0}}));
        EXPECT_EQ(messagesOf(opened).first(), "Trigger phrase \u201cfree\u201d in capitals (weight 3)");
        EXPECT_EQ(messagesOf(opened).last(), "Fail \u2014 Overall Score: 6.0, Overall Percentage: 17.56%");
        EXPECT_EQ(opened[1][u"tags"], QJsonArray {2});

        // One piece deletes "FREE " across the astral characters' ends, the next inserts "free " before
        // "click here" in the text the first left.
        client.notify("textDocument/didChange",
                      {{"textDocument", QJsonObject {{"uri", uri}, {"version", 2}}},
                       {"contentChanges",
                        QJsonArray {QJsonObject {{"range", lspRange(0, 3 + 2 * e, 8 + 2 * e)}, {"text", ""}},
                                    QJsonObject {{"range", lspRange(1, 9 + e, 9 + e)}, {"text", "free "}}}}});
        EXPECT_EQ(marksOf(client.diagnostics(uri, 2)),
                  (std::vector<Mark> {{"heavy", 1, 0, 1, 7},
                                      {"medium", 1, 9 + e, 1, 13 + e},
                                      {"light", 1, 14 + e, 1, 24 + e},
                                      {"verdict", 0, 0, 0, 0}}));

        client.request(5, "textDocument/hover",
                       {{"textDocument", QJsonObject {{"uri", uri}}}, {"position", lspPosition(1, 20 + e)}});
        const QJsonObject hover = client.reply(5)[u"result"].toObject();
        EXPECT_TRUE(hover[u"contents"][u"value"].toString().startsWith("\u201cclick here\u201d adds 0.5 to the score"))
            << hover[u"contents"][u"value"].toString().toStdString();
        EXPECT_EQ(hover[u"range"], lspRange(1, 14 + e, 24 + e));
        client.request(6, "textDocument/hover",
                       {{"textDocument", QJsonObject {{"uri", uri}}}, {"position", lspPosition(1, 8)}});
        EXPECT_EQ(client.reply(6)[u"result"], QJsonValue::Null);
    }
}

TEST(LanguageServer, PhrasesPointIntoTheSourceOfEachKindOfDocument)
{
    struct Case
    {
        const char* name;
        QString uri;
        QString language;
        QString text;
        std::vector<Mark> marks;
        // What the diagnostics without a place in the document say, in order.
        QStringList unplaced;
    };
    const std::vector<Case> cases {
        {"Markdown with CR LF line ends",
         "file:///t/welcome.md",
         "markdown",
         "# Offer\r\n\r\nClick here for **free**, act now\r\n",
         {{"light", 2, 0, 2, 10}, {"medium", 2, 17, 2, 21}, {"heavy", 2, 25, 2, 32}},
         {}},
        {"HTML template: title, markup, collapsed white space",
         "untitled:Untitled-1",
         "handlebars",
         "<html><head><title>Act now, {{name}}</title></head>\n<body><p>Get it <b>free</b> &amp; click\n"
         "    here</p></body></html>\n",
         {{"heavy", 0, 19, 0, 26}, {"medium", 1, 19, 1, 23}, {"light", 1, 34, 2, 8}},
         {}},
        {"saved e-mail, unencoded",
         "file:///t/draft.eml",
         "",
         "From: a@b.example\r\nSubject: Re: act now\r\nContent-Type: text/plain\r\n\r\nHello,\r\nall "
         "free.\r\n",
         {{"heavy", 1, 13, 1, 20}, {"medium", 5, 4, 5, 8}},
         {}},
        {"saved e-mail, encoded subject and quoted-printable body",
         "file:///t/draft.eml",
         "",
         "From: a@b.example\nSubject: =?UTF-8?Q?Act_now?=\nContent-Type: text/plain\n"
         "Content-Transfer-Encoding: quoted-printable\n\nGet it free today.\nClick=20here to act =\nnow today.\n",
         {{"heavy", 0, 0, 0, 0}, {"medium", 5, 7, 5, 11}, {"light", 0, 0, 0, 0}, {"heavy", 0, 0, 0, 0}},
         {"Trigger phrase \u201cact now\u201d (weight 2.5), in the subject",
          "Trigger phrase \u201cclick here\u201d (weight 0.5), on line 2 of the decoded body",
          "Trigger phrase \u201cact now\u201d (weight 2.5), on line 2 of the decoded body"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LspConversation client;
        client.initialize({}, SmallOptions);
        QJsonArray diagnostics = openDocument(client, c.uri, c.text, c.language);
        ASSERT_EQ(diagnostics.last()[u"code"], "verdict");
        diagnostics.removeLast();
        EXPECT_EQ(marksOf(diagnostics), c.marks);
        QStringList unplaced;
        for (const QJsonValue& d : diagnostics) {
            if (d[u"range"] == lspRange(0, 0, 0))
                unplaced << d[u"message"].toString();
        }
        EXPECT_EQ(unplaced, c.unplaced);
    }
}

TEST(LanguageServer, QuickFixReplacesExactlyOneOccurrence)
{
    LspConversation client(std::make_shared<TestReplacements>());
    client.initialize({}, SmallOptions);
    const QString uri = QStringLiteral("file:///t/offer.txt");
    // A scan counts the first "free", then those with a space on both sides.
    QString text = QStringLiteral("free \U0001F600 free now\nfree time, click here\n");
    openDocument(client, uri, text);
    // An earlier edit moves the second line's phrases: "Now " goes in before them.
    client.notify("textDocument/didChange",
                  {{"textDocument", QJsonObject {{"uri", uri}, {"version", 2}}},
                   {"contentChanges", QJsonArray {QJsonObject {{"range", lspRange(1, 0, 0)}, {"text", "Now "}}}}});
    text.insert(text.indexOf(u'\n') + 1, QStringLiteral("Now "));

    struct Case
    {
        const char* name;
        QJsonObject range;
        QJsonArray only;
        QStringList titles;
        // The text after the first action, if any.
        QString applied;
    };
    const std::vector<Case> cases {
        {"after the astral character",
         lspRange(0, 8, 8),
         {},
         {"Replace \u201cfree\u201d with \u201cat no cost\u201d", "Remove \u201cfree\u201d"},
         QStringLiteral("free \U0001F600 at no cost now\nNow free time, click here\n")},
        {"on the line the edit moved",
         lspRange(1, 5, 6),
         {"quickfix"},
         {"Replace \u201cfree\u201d with \u201cat no cost\u201d", "Remove \u201cfree\u201d"},
         QStringLiteral("free \U0001F600 free now\nNow at no cost time, click here\n")},
        {"a phrase without wordings", lspRange(1, 20, 20), {}, {}, {}},
        {"only refactorings asked for", lspRange(0, 0, 0), {"refactor"}, {}, {}},
    };
    int id = 10;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        client.request(++id, "textDocument/codeAction",
                       {{"textDocument", QJsonObject {{"uri", uri}}},
                        {"range", c.range},
                        {"context", QJsonObject {{"diagnostics", QJsonArray {}}, {"only", c.only}}}});
        const QJsonArray actions = client.reply(id)[u"result"].toArray();
        QStringList titles;
        for (const QJsonValue& action : actions)
            titles << action[u"title"].toString();
        EXPECT_EQ(titles, c.titles);
        if (!c.applied.isEmpty()) {
            EXPECT_EQ(actions[0][u"kind"], "quickfix");
            EXPECT_EQ(actions[0][u"isPreferred"], true);
            EXPECT_EQ(applyEdit(text, actions[0][u"edit"], uri), c.applied);
        }
    }
}

TEST(LanguageServer, SettingsChooseTheDefinitionsAndTheLightPhrases)
{
    QTemporaryDir dir;
    const QString other = writeFile(dir, "other.dat", "Other\t1\r\noffer\t1.5\r\n");
    const QString broken = writeFile(dir, "broken.dat", "no header tab\r\n");
    LspConversation client;
    client.initialize({}, {{"definitions", SmallDefinitions}, {"lightPhrases", false}});
    const QString uri = QStringLiteral("file:///t/offer.txt");
    const QString text = QStringLiteral("Click here for a free offer\n");
    EXPECT_EQ(marksOf(openDocument(client, uri, text)),
              (std::vector<Mark> {{"medium", 0, 17, 0, 21}, {"verdict", 0, 0, 0, 0}}));

    struct Case
    {
        const char* name;
        QJsonObject settings;
        std::vector<Mark> marks;
        QString shownMessage;
    };
    const std::vector<Case> cases {
        {"light phrases on, under the server's name",
         {{"tallyvex", QJsonObject {{"lightPhrases", true}}}},
         {{"light", 0, 0, 0, 10}, {"medium", 0, 17, 0, 21}, {"verdict", 0, 0, 0, 0}},
         {}},
        {"other definitions", {{"definitions", other}}, {{"medium", 0, 22, 0, 27}, {"verdict", 0, 0, 0, 0}}, {}},
        {"definitions that cannot be used keep those in use",
         {{"definitions", broken}},
         {{"medium", 0, 22, 0, 27}, {"verdict", 0, 0, 0, 0}},
         "Cannot use the definitions: " + broken + ", line 1: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        client.notify("workspace/didChangeConfiguration", {{"settings", c.settings}});
        if (!c.shownMessage.isEmpty()) {
            const QJsonObject shown
                = client.waitFor([](const QJsonObject& m) { return m[u"method"] == "window/showMessage"; });
            EXPECT_TRUE(shown[u"params"][u"message"].toString().startsWith(c.shownMessage))
                << shown[u"params"][u"message"].toString().toStdString();
        }
        EXPECT_EQ(marksOf(client.diagnostics(uri, 1)), c.marks);
    }
}

TEST(TextDocument, PositionsFollowTheLineEndsAndStayInsideTheText)
{
    const TextDocument document(QStringLiteral("a\rb\r\n\u00e9\U0001F600x\ny"));
    struct Case
    {
        const char* name;
        DocumentPosition position;
        PositionEncoding encoding;
        qsizetype offset;
        // Whether the offset's position is the one given.
        bool sameBack;
    };
    const std::vector<Case> cases {
        {"after a lone CR", {1, 0}, PositionEncoding::Utf16, 2, true},
        {"after CR LF", {2, 0}, PositionEncoding::Utf16, 5, true},
        {"UTF-8 after a two-byte and a four-byte character", {2, 6}, PositionEncoding::Utf8, 8, true},
        {"UTF-32 after the same", {2, 2}, PositionEncoding::Utf32, 8, true},
        {"inside a surrogate pair: its start", {2, 2}, PositionEncoding::Utf16, 6, false},
        {"beyond the line's end: before its CR LF", {1, 40}, PositionEncoding::Utf8, 3, false},
        {"beyond the last line: the text's end", {9, 0}, PositionEncoding::Utf16, 11, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(document.offsetAt(c.position, c.encoding), c.offset);
        if (c.sameBack) {
            EXPECT_EQ(document.positionAt(c.offset, c.encoding), c.position);
        }
    }
}

TEST(TextDocument, AnEditFindsTheSameLinesAsTheWholeTextRead)
{
    const QString text = QStringLiteral("one\rtwo\r\nthree\nfour\r\n\r\nfive");
    struct Case
    {
        const char* name;
        qsizetype start;
        qsizetype end;
        QString inserted;
    };
    const std::vector<Case> cases {
        {"LF after a lone CR joins them", 4, 4, "\n"},
        {"the LF of a CR LF taken away", 8, 9, ""},
        {"a CR before an LF", 14, 14, "\r"},
        {"lines typed inside a line", 11, 11, "a\nb\r\nc\r"},
        {"lines taken out", 2, 20, ""},
        {"at the start", 0, 0, "\n"},
        {"at the end", 27, 27, "\r"},
        {"the whole text", 0, 27, "x\ny"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TextDocument edited(text);
        edited.positionAt(0, PositionEncoding::Utf16);
        edited.replace(c.start, c.end, c.inserted);
        const TextDocument read(edited.text());
        for (qsizetype offset = 0; offset <= read.text().size(); ++offset)
            ASSERT_EQ(edited.positionAt(offset, PositionEncoding::Utf16),
                      read.positionAt(offset, PositionEncoding::Utf16))
                << offset;
    }
}
