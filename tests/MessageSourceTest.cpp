#include "TemporaryFiles.h"
#include "messagefile/Mailbox.h"
#include "messagefile/MessageFile.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

// Where `needle` first stands in `text`, counted the simple way: lines by LF, columns by code points.
TextPosition placeIn(const QString& text, const QString& needle, qsizetype from = 0)
{
    const qsizetype at = text.indexOf(needle, from);
    if (at < 0)
        return {};
    const QString before = text.first(at);
    const QString lastLine = before.sliced(before.lastIndexOf(u'\n') + 1);
    return {before.count(u'\n') + 1, qsizetype(lastLine.toUcs4().size()) + 1};
}

// The messages of a mailbox, then why it could not be read to its end.
std::vector<QByteArray> splitMailbox(const QByteArray& mailbox, qint64 maxMessageBytes)
{
    QBuffer buffer;
    buffer.setData(mailbox);
    buffer.open(QIODevice::ReadOnly);
    MailboxReader reader(buffer, maxMessageBytes);
    std::vector<QByteArray> messages;
    while (const std::optional<MailboxMessage> message = reader.next())
        messages.push_back(message->tooLarge ? QByteArray("(too large)") : message->bytes);
    if (!reader.error().isEmpty())
        messages.push_back("(cut: " + reader.error().toUtf8() + ")");
    return messages;
}

const QByteArray FromA = "From a@example.com Mon Jan  1 10:00:00 2024\n";
const QByteArray FromB = "From b@example.com Mon Jan  1 10:01:00 2024\n";

} // namespace

TEST(MailboxTest, SplitsMessagesOnlyAtRealSeparators)
{
    constexpr qint64 Limit = 128 * 1024;
    struct Case
    {
        const char* name;
        QByteArray mailbox;
        std::vector<QByteArray> messages;
    };
    const QByteArray counted = "Content-Length: " + QByteArray::number(4 + FromB.size());
    const QByteArray longLine = QByteArray(MailboxReader::PieceBytes, 'x') + ">From inside a line\n";
    const QByteArray exactlyTheLimit = QByteArray(Limit - 1, 'x') + '\n';
    const std::vector<Case> cases {
        {"two messages",
         FromA + "Subject: one\n\nbody\n\n" + FromB + "Subject: two\n\nx\n",
         {"Subject: one\n\nbody\n", "Subject: two\n\nx\n"}},
        {"a paragraph that starts with From",
         FromA + "X: 1\n\nHi,\n\nFrom the desk of the manager: 10:00 today\n",
         {"X: 1\n\nHi,\n\nFrom the desk of the manager: 10:00 today\n"}},
        {"a From line without an empty line before", FromA + "X: 1\n\nhi\n" + FromB, {"X: 1\n\nhi\n" + FromB}},
        {"quoted lines lose one '>'",
         FromA + "\n>From here\n>>From there\n> From not\n",
         {"\nFrom here\n>From there\n> From not\n"}},
        {"CR LF line ends",
         "From a@example.com Mon Jan  1 10:00:00 2024\r\nX: 1\r\n\r\nhi\r\n\r\n"
         "From b Mon Jan  1 10:01:00 2024\r\nY: 2\r\n",
         {"X: 1\r\n\r\nhi\r\n", "Y: 2\r\n"}},
        {"dates as other mail programs write them",
         "From - Mon Jan  1 10:00:00 2024\nX: 1\n\n"
         "From 1234@xxx Tue Jan 02 09:00:00 +0000 2024\nX: 2\n\n"
         "From bob Wed Jan  3 09:00 EST 2024 remote from host\nX: 3\n\n"
         "From MAILER-DAEMON Thu, 4 Jan 2024 09:00:00 +0100\nX: 4\n",
         {"X: 1\n", "X: 2\n", "X: 3\n", "X: 4\n"}},
        {"what stands before the first From line is no message",
         "junk\nFrom the desk\n" + FromA + "X: 1\n",
         {"X: 1\n"}},
        {"a body of the length its Content-Length gives is taken whole",
         FromA + counted + "\n\nHi\n\n" + FromB + "\n" + FromB + "X: 2\n",
         {counted + "\n\nHi\n\n" + FromB, "X: 2\n"}},
        {"a Content-Length that ends no message is passed over",
         FromA + "Content-Length: 3\n\nHi there\n\n" + FromB + "X: 2\n",
         {"Content-Length: 3\n\nHi there\n", "X: 2\n"}},
        {"a Content-Length that runs past a real From line is passed over",
         FromA + "Content-Length: 999\n\nHi\n\n" + FromB + "X: 2\n",
         {"Content-Length: 999\n\nHi\n", "X: 2\n"}},
        {"a line longer than a read is one line",
         FromA + "\n" + longLine + "\n" + FromB + "X: 2\n",
         {"\n" + longLine, "X: 2\n"}},
        {"a message of exactly the limit is kept, one byte more is not",
         FromA + exactlyTheLimit + "\n" + FromB + "x" + exactlyTheLimit + "\n" + FromA + "Y: 2\n",
         {exactlyTheLimit, "(too large)", "Y: 2\n"}},
        {"a file that ends in the middle of a line",
         FromA + "X: 1\n\nhi\n\n" + FromB + "Y: 2\n\nfree mon",
         {"X: 1\n\nhi\n", "(cut: the file ends in the middle of a line of message 2, so the message is not complete)"}},
        {"a Content-Length that runs past the end",
         FromA + "Content-Length: 999\n\nHi\n",
         {"(cut: the file ends before message 1 does (its Content-Length runs past the end))"}},
        {"empty", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(splitMailbox(c.mailbox, Limit), c.messages);
    }
}

TEST(MailboxTest, AFileThatShrinksWhileItIsReadCutsTheMessageBeingRead)
{
    QTemporaryDir dir;
    const QByteArray body = QByteArray(100 * 1024, 'x') + '\n';
    const QString path = writeFile(dir, "inbox", FromA + body + '\n' + FromB + body + '\n' + FromA + body);
    QFile mailbox(path);
    ASSERT_TRUE(mailbox.open(QIODevice::ReadOnly));
    MailboxReader reader(mailbox, 1024 * 1024);
    ASSERT_EQ(reader.next()->bytes, body);
    QFile(path).resize(FromA.size() + body.size() + 1 + FromB.size() + 1000);
    EXPECT_FALSE(reader.next());
    EXPECT_TRUE(reader.error().startsWith(u"the file shrank from ")) << reader.error().toStdString();
    EXPECT_TRUE(reader.error().endsWith(u" bytes while message 2 was read")) << reader.error().toStdString();
}

TEST(MailboxTest, TheFirstLineTellsAMailbox)
{
    EXPECT_TRUE(looksLikeMailbox("From nsb@example.com Tue Oct  8 10:29:39 1991"));
    EXPECT_TRUE(looksLikeMailbox("From \"a b\"@example.com Tue Oct  8 10:29:39 1991\r\n"));
    EXPECT_FALSE(looksLikeMailbox("From the desk of the manager, 9 to 5"));
    EXPECT_FALSE(looksLikeMailbox("From the desk Mon 10:00"));
    EXPECT_FALSE(looksLikeMailbox("Subject: From a Mon Jan  1 10:00:00 2024"));
}

TEST(MessageSourceTest, PhrasesPointAtTheirPlaceInTheTemplate)
{
    struct Case
    {
        const char* name;
        QString page;
    };
    const std::vector<Case> cases {
        {"nested markup", "<html><body>\n<table><tr><td><p>Hi <b><i>there</i></b>,</p>\n  <div>zebra</div>"},
        {"placeholders", "<p>Hello {{ name }}, {% if x %}*|FNAME|* %%first%%\n   {{ a }} zebra {% endif %}</p>"},
        {"character references before it", "<p>&amp;&eacute;&#x41; &lt;b&gt;\n&nbsp;&nbsp;zebra</p>"},
        {"CR LF line ends", "<p>one\r\ntwo</p>\r\n<p>\r\n   zebra</p>"},
        {"characters beyond the BMP", "<p>\U0001F600\U0001F600 &#x1F600; zebra</p>"},
        {"preformatted", "<pre>line one\r\n   zebra</pre>"},
        {"a long text node", "<p>" + QString(3000, u'a') + "\n" + QString(2000, u'b') + " zebra</p>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LocatedMessage located = readLocatedMessage(c.page.toUtf8(), MessageFormat::Html);
        ASSERT_TRUE(located.text.isValid());
        const qsizetype inText = located.text.body.indexOf(QStringLiteral("zebra"));
        ASSERT_GE(inText, 0) << located.text.body.toStdString();
        EXPECT_EQ(located.places.body(inText), placeIn(c.page, QStringLiteral("zebra")));
    }

    const QString page = QStringLiteral("<html>\n<head>\n<title>\n  Free zebra</title></head><body>x</body>");
    const LocatedMessage titled = readLocatedMessage(page.toUtf8(), MessageFormat::Html);
    EXPECT_EQ(titled.places.subject(), placeIn(page, QStringLiteral("Free")));

    const QByteArray eml = "From: a@example.com\r\nsubject: zebra\r\n\r\nline\r\n  zebra\r\n";
    const LocatedMessage message = readLocatedMessage(eml, MessageFormat::Eml);
    EXPECT_EQ(message.places.subject(), (TextPosition {2, 1}));
    // Its body is decoded text, whose lines are not the file's.
    EXPECT_FALSE(message.places.body(message.text.body.indexOf(QStringLiteral("zebra"))).isKnown());
}
