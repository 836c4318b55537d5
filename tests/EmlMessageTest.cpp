#include "messagefile/EmlMessage.h"
#include "QtPrinters.h"
#include "messagefile/HtmlText.h"
#include "messagefile/MessageFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QString dataFile(const char* name)
{
    return QStringLiteral(TALLYVEX_TEST_DATA "/eml/") + QString::fromLatin1(name);
}

MessageText readEmlFile(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return readEmlMessage(file.readAll());
}

struct ReadCase
{
    const char* file;
    QString subject;
    QString body;
    QString partUsed;
};

void PrintTo(const ReadCase& readCase, std::ostream* os)
{
    *os << readCase.file;
}

class EmlMessageReadTest : public testing::TestWithParam<ReadCase>
{
};

TEST_P(EmlMessageReadTest, SubjectBodyAndPart)
{
    const ReadCase& expected = GetParam();
    const MessageText message = readEmlFile(dataFile(expected.file));
    ASSERT_TRUE(message.isValid()) << message.error.toStdString();
    EXPECT_EQ(message.subject, expected.subject);
    EXPECT_EQ(message.body, expected.body);
    EXPECT_EQ(message.partUsed, expected.partUsed);
}

const QString Plain = QStringLiteral("text/plain");
const QString Html = QStringLiteral("text/html");

INSTANTIATE_TEST_SUITE_P(
    Messages,
    EmlMessageReadTest,
    testing::Values(
        ReadCase {"plain.eml", QStringLiteral("Quarterly status update"),
                  QStringLiteral("Hello all,\n\nThe migration finished on schedule.\nDana\n"), Plain},
        // Soft line breaks join the halves of a word; "=3D" and UTF-8 octets are decoded.
        ReadCase {"quoted-printable.eml", QStringLiteral("Your offer"),
                  QStringLiteral("This is a limited time offer for our caf\u00e9 customers.\nAct now = save more.\n"),
                  Plain},
        // Base64 with CR LF line breaks inside: they reach the body box as LF.
        ReadCase {"base64.eml", QStringLiteral("Invoice"),
                  QStringLiteral("Gr\u00fc\u00dfe aus dem B\u00fcro.\nThe invoice is attached as agreed.\n"), Plain},
        // The plain alternative wins even when the HTML one comes first, and only one of them is read.
        ReadCase {"alternative.eml", QStringLiteral("Weekly news"), QStringLiteral("Click here for free money"), Plain},
        // A no-break space becomes a plain one, so phrases written with spaces still match.
        ReadCase {"html-only.eml", QStringLiteral("Special promotion"),
                  QStringLiteral("Big savings\nCaf\u00e9 & more:\norder today\none\ntwo"), Html},
        ReadCase {"subject-utf8.eml", QStringLiteral("Gr\u00fc\u00dfe and \u2013 caf\u00e9"), QStringLiteral("Body.\n"),
                  Plain},
        ReadCase {"subject-latin1.eml", QStringLiteral("Caf\u00e9 \u00e0 la cr\u00e8me"),
                  QStringLiteral("Cr\u00e8me br\u00fbl\u00e9e\n"), Plain},
        // An attached text file is not the message's own text.
        ReadCase {"attachment-first.eml", QStringLiteral("Notes attached"), QStringLiteral("The message itself."),
                  Plain}),
    [](const testing::TestParamInfo<ReadCase>& info) {
        std::string name = info.param.file;
        name.resize(name.find('.'));
        std::erase(name, '-');
        return name;
    });

TEST(EmlMessageTest, MalformedInputGivesAReasonInsteadOfText)
{
    struct BrokenCase
    {
        const char* name;
        QByteArray bytes;
        QString reasonPart;
    };
    const auto file = [](const char* name) {
        QFile input(dataFile(name));
        return input.open(QIODevice::ReadOnly) ? input.readAll() : QByteArray();
    };
    const std::vector<BrokenCase> cases {
        {"empty", QByteArray(), QStringLiteral("empty")},
        {"blank lines only", QByteArray("\r\n\r\n  \n"), QStringLiteral("empty")},
        {"no header lines", file("broken-no-headers.eml"), QStringLiteral("header lines")},
        {"binary",
         QByteArray("\x7f"
                    "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0",
                    20),
         QStringLiteral("header lines")},
        {"no text part", file("broken-no-text.eml"), QStringLiteral("no text part")},
    };
    for (const BrokenCase& broken : cases) {
        SCOPED_TRACE(broken.name);
        const MessageText message = readEmlMessage(broken.bytes);
        EXPECT_FALSE(message.isValid());
        EXPECT_TRUE(message.error.contains(broken.reasonPart)) << message.error.toStdString();
        EXPECT_TRUE(message.body.isEmpty());
        EXPECT_TRUE(message.partUsed.isEmpty());
    }
}

// Header lines hold no text to rate, but the parser holds each field many times over while it decodes it,
// so header lines of more than a MiB, the message's or a part's, are refused; a body of megabytes is read.
TEST(EmlMessageTest, HeaderLinesOfMegabytesAreRefused)
{
    constexpr qsizetype MiB = 1024 * 1024;
    struct HeaderCase
    {
        const char* name;
        QByteArray bytes;
        bool refused;
    };
    const QByteArray multipart = "Subject: hi\nMIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=b\n\n"
                                 "--b\nContent-Type: text/plain\n\nhello\n--b\n";
    const std::vector<HeaderCase> cases {
        {"a subject of many words", "Subject: " + QByteArray("a ").repeated(MiB / 2 + 1) + "\n\nhello\n", true},
        {"a field folded over many lines",
         "Subject: hi\nX-List: a\n" + QByteArray(" b\n").repeated(MiB / 3 + 1) + "\nhello\n", true},
        {"a part's header lines",
         multipart + "Content-Type: text/plain; " + QByteArray("a=b; ").repeated(MiB / 5 + 1) + "\n\nx\n--b--\n", true},
        {"an attached message's header lines",
         multipart + "Content-Type: message/rfc822\n\nSubject: " + QByteArray(MiB, 'a') + "\n\nx\n--b--\n", true},
        {"header lines just within the limit", "Subject: hi\nX-Pad: " + QByteArray(MiB - 100, 'a') + "\n\nhello\n",
         false},
        {"a body line of megabytes", "Subject: hi\n\n" + QByteArray(2 * MiB, 'x') + "\n", false},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MessageText message = readEmlMessage(c.bytes);
        EXPECT_EQ(message.error.contains(QStringLiteral("header lines")), c.refused) << message.error.toStdString();
        EXPECT_EQ(message.isValid(), !c.refused);
    }
}

QString textOf(const std::optional<HtmlDocument>& page)
{
    return page ? page->text : QStringLiteral("(not read)");
}

TEST(HtmlTextTest, LaysOutWhatAReaderSees)
{
    struct HtmlCase
    {
        const char* name;
        QString html;
        QString text;
    };
    const std::vector<HtmlCase> cases {
        {"white space collapses", QStringLiteral("<p>  free\n\t  money  </p>"), QStringLiteral("free money")},
        {"paragraphs and breaks", QStringLiteral("<p>one</p><p>two<br>three</p>"), QStringLiteral("one\ntwo\nthree")},
        {"inline markup joins", QStringLiteral("<p>fr<b>ee</b> <i>offer</i></p>"), QStringLiteral("free offer")},
        {"table cells apart", QStringLiteral("<table><tr><td>act</td><td>now</td></tr></table>"),
         QStringLiteral("act now")},
        {"preformatted kept", QStringLiteral("<pre>a  b\nc</pre>"), QStringLiteral("a  b\nc")},
        {"preformatted line ends made LF", QStringLiteral("<pre>a\rb\r\nc</pre>"), QStringLiteral("a\nb\nc")},
        {"references resolved", QStringLiteral("<p>100&#37; &lt;sure&gt; &eacute;</p>"),
         QStringLiteral("100% <sure> \u00e9")},
        {"scripts and styles hidden",
         QStringLiteral(
             "<head><style>b{}</style></head><body><script>x()</script><style>i{}</style><b>seen</b></body>"),
         QStringLiteral("seen")},
        {"unclosed tags tolerated", QStringLiteral("<div><p>cheap <b>meds"), QStringLiteral("cheap meds")},
        {"fragment without markup", QStringLiteral("just text"), QStringLiteral("just text")},
        {"a character set the page names is passed over, as the page is UTF-8 by now",
         QStringLiteral("<meta charset=\"windows-1252\"><p>caf\u00e9 \U0001F600</p>"),
         QStringLiteral("caf\u00e9 \U0001F600")},
        {"nothing", QString(), QString()},
    };
    for (const HtmlCase& htmlCase : cases) {
        SCOPED_TRACE(htmlCase.name);
        EXPECT_EQ(textOf(readHtmlDocument(htmlCase.html.toUtf8())), htmlCase.text);
    }
}

// Text below the parser's default depth limit of 256 is read; deeper than our own limit, the document is
// refused rather than cut.
TEST(HtmlTextTest, DeepNestingIsReadOrRefusedNeverCut)
{
    struct DepthCase
    {
        const char* name;
        QString html;
        QString text;
    };
    const auto repeated = [](const char* markup, int times) { return QString::fromLatin1(markup).repeated(times); };
    const std::vector<DepthCase> cases {
        {"300 nested blocks",
         repeated("<div>", 300) + QStringLiteral("free money") + repeated("</div>", 300)
             + QStringLiteral("<p>act now</p>"),
         QStringLiteral("free money\nact now")},
        {"300 unclosed font tags", repeated("<font size=2>", 300) + QStringLiteral("cheap <b>meds</b><p>order today"),
         QStringLiteral("cheap meds\norder today")},
        {"nested to the limit", repeated("<div>", MaxHtmlNesting - 2) + QStringLiteral("deep offer"),
         QStringLiteral("deep offer")},
        {"nested beyond the limit", repeated("<div>", MaxHtmlNesting + 1) + QStringLiteral("deep offer"),
         QStringLiteral("(not read)")},
    };
    for (const DepthCase& depthCase : cases) {
        SCOPED_TRACE(depthCase.name);
        EXPECT_EQ(textOf(readHtmlDocument(depthCase.html.toUtf8())), depthCase.text);
    }
}

// The name says how a file is read; a page gives its title as the subject and is refused, never cut.
TEST(MessageFileTest, FormatFollowsTheNameAndAPageGivesItsTitle)
{
    const std::vector<std::pair<QString, std::optional<MessageFormat>>> names {
        {QStringLiteral("a/offer.EML"), MessageFormat::Eml}, {QStringLiteral("t.html"), MessageFormat::Html},
        {QStringLiteral("t.Htm"), MessageFormat::Html},      {QStringLiteral("draft.txt"), MessageFormat::Text},
        {QStringLiteral("Definitions.dat"), std::nullopt},   {QStringLiteral("eml"), std::nullopt},
    };
    for (const auto& [name, format] : names)
        EXPECT_EQ(messageFormatOf(name), format) << name.toStdString();

    const MessageText page = readMessage("<title>Big\r\n  sale</title><h1>Free</h1>", MessageFormat::Html);
    EXPECT_EQ(page.subject, QStringLiteral("Big sale"));
    EXPECT_EQ(page.body, QStringLiteral("Free"));
    const MessageText tooDeep = readMessage(QByteArray("<div>").repeated(MaxHtmlNesting + 1), MessageFormat::Html);
    EXPECT_FALSE(tooDeep.isValid());
    EXPECT_TRUE(tooDeep.body.isEmpty());
}

// Mail that breaks the MIME rules is read the way a mail reader shows it; what has no text is refused.
TEST(EmlMessageTest, MalformedMimeIsReadAsAMailReaderShowsIt)
{
    struct MimeCase
    {
        const char* name;
        QByteArray headersAndBody;
        QString body;
        QString partUsed;
    };
    const std::vector<MimeCase> cases {
        {"content type without slash", "Content-Type: text plain\n\nFree money\n", QStringLiteral("Free money\n"),
         Plain},
        {"content type in a part",
         "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: texthtml\n\n<b>Act</b> now\n--b--\n",
         QStringLiteral("<b>Act</b> now"), Plain},
        {"boundary never appears", "Content-Type: multipart/alternative; boundary=\"b\"\n\nBuy now\nToday only\n",
         QStringLiteral("Buy now\nToday only\n"), Plain},
        {"no boundary parameter", "Content-Type: multipart/mixed\n\nBuy now\n", QStringLiteral("Buy now\n"), Plain},
        {"only the closing boundary, after the part's header lines",
         "Content-Type: multipart/alternative; boundary=b\n\nContent-Type: text/html\n\n<p>Act now</p>\n--b--\n",
         QStringLiteral("Act now"), Html},
        {"no text at all", "Content-Type: audio/basic\nContent-Transfer-Encoding: base64\n\nAAAA\n", QString(),
         QString()},
    };
    for (const MimeCase& mimeCase : cases) {
        SCOPED_TRACE(mimeCase.name);
        const MessageText message
            = readEmlMessage("From: a@example.com\nSubject: Offer\nMIME-Version: 1.0\n" + mimeCase.headersAndBody);
        if (mimeCase.partUsed.isEmpty()) {
            EXPECT_TRUE(message.error.contains(QStringLiteral("no text part"))) << message.error.toStdString();
            continue;
        }
        EXPECT_EQ(message.error, QString());
        EXPECT_EQ(message.body, mimeCase.body);
        EXPECT_EQ(message.partUsed, mimeCase.partUsed);
    }
}

// A reader sees the HTML alternative when the plain one shows nothing, so the HTML is what is rated.
TEST(EmlMessageTest, ABlankPlainAlternativeNeverHidesTheHtml)
{
    struct AlternativeCase
    {
        const char* name;
        QByteArray firstPart;
        QByteArray secondPart;
        QString body;
        QString partUsed;
    };
    const QByteArray blankPlain = "Content-Type: text/plain\n\n  \t\n\n";
    const QByteArray spamHtml = "Content-Type: text/html\n\n<p>Act <b>now</b></p>\n";
    const std::vector<AlternativeCase> cases {
        {"blank plain, then HTML", blankPlain, spamHtml, QStringLiteral("Act now"), Html},
        {"HTML, then blank plain", spamHtml, blankPlain, QStringLiteral("Act now"), Html},
        {"plain that decodes to spaces",
         "Content-Type: text/plain\nContent-Transfer-Encoding: base64\n\nICAgDQoNCg==\n", spamHtml,
         QStringLiteral("Act now"), Html},
        {"plain with text", "Content-Type: text/plain\n\nHello\n", spamHtml, QStringLiteral("Hello"), Plain},
        {"HTML without text", blankPlain, "Content-Type: text/html\n\n<p> <img src=x> </p>\n", QStringLiteral("  \t\n"),
         Plain},
    };
    for (const AlternativeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const MessageText message = readEmlMessage(
            "Subject: Offer\nMIME-Version: 1.0\nContent-Type: multipart/alternative; boundary=b\n\n--b\n" + c.firstPart
            + "--b\n" + c.secondPart + "--b--\n");
        EXPECT_EQ(message.error, QString());
        EXPECT_EQ(message.body, c.body);
        EXPECT_EQ(message.partUsed, c.partUsed);
    }
}

// Real mail from the shared corpus: every message is either read or refused with a reason, never a crash.
// A message is either read, with the kind of part its body came from and LF line breaks, or refused
// with nothing but the reason.
void expectReadOrRefused(const MessageText& message)
{
    if (message.isValid()) {
        EXPECT_TRUE(message.partUsed == Plain || message.partUsed == Html) << message.partUsed.toStdString();
        EXPECT_FALSE(message.body.contains(u'\r'));
    } else {
        EXPECT_TRUE(message.subject.isEmpty() && message.body.isEmpty() && message.partUsed.isEmpty());
    }
}

TEST(EmlMessageTest, RealMessagesAreReadOrRefused)
{
    const QDir corpus(QStringLiteral(TALLYVEX_SOURCE_DIR "/../shared/corpus"));
    if (!corpus.exists())
        GTEST_SKIP() << "no message corpus at " << corpus.absolutePath().toStdString();
    int read = 0;
    int refused = 0;
    QDirIterator files(corpus.absolutePath(), {QStringLiteral("*.eml")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        SCOPED_TRACE(path.toStdString());
        const MessageText message = readEmlFile(path);
        expectReadOrRefused(message);
        ++(message.isValid() ? read : refused);

        // Cut short anywhere, a message is still read or refused.
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        for (const qsizetype length : {bytes.size() / 3, bytes.size() / 2, bytes.size() - 7}) {
            SCOPED_TRACE(length);
            expectReadOrRefused(readEmlMessage(bytes.left(length)));
        }
    }
    if (read + refused == 0)
        GTEST_SKIP() << "the corpus at " << corpus.absolutePath().toStdString() << " holds no .eml files";
    EXPECT_GT(read, 3 * refused) << "most real messages must be readable";
}

} // namespace
