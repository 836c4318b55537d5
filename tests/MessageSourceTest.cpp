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

std::vector<QByteArray> splitMailbox(const QByteArray& mailbox, qint64 maxMessageBytes)
{
    QBuffer buffer;
    buffer.setData(mailbox);
    buffer.open(QIODevice::ReadOnly);
    MailboxReader reader(buffer, maxMessageBytes);
    std::vector<QByteArray> messages;
    while (const std::optional<MailboxMessage> message = reader.next())
        messages.push_back(message->tooLarge ? QByteArray("(too large)") : message->bytes);
    return messages;
}

} // namespace

TEST(MailboxTest, SplitsMessagesAndUnquotesFromLines)
{
    struct Case
    {
        const char* name;
        QByteArray mailbox;
        std::vector<QByteArray> messages;
    };
    const std::vector<Case> cases {
        {"two messages",
         "From a Mon 10:00\nSubject: one\n\nbody\n\nFrom b Mon 10:01\nSubject: two\n\nx\n",
         {"Subject: one\n\nbody\n", "Subject: two\n\nx\n"}},
        {"quoted lines lose one '>'",
         "From a Mon 10:00\n\n>From here\n>>From there\n> From not\n",
         {"\nFrom here\n>From there\n> From not\n"}},
        {"a From line without an empty line before stays in the message",
         "From a\nX: 1\n\nhi\nFrom the desk\n",
         {"X: 1\n\nhi\nFrom the desk\n"}},
        {"CR LF line ends", "From a\r\nX: 1\r\n\r\nhi\r\n\r\nFrom b\r\nY: 2\r\n", {"X: 1\r\n\r\nhi\r\n", "Y: 2\r\n"}},
        {"what stands before the first From line is no message", "junk\nFrom a\nX: 1\n", {"X: 1\n"}},
        {"a message past the limit",
         "From a\n" + QByteArray(2000, 'x') + "\n\nFrom b\nY: 2\n",
         {"(too large)", "Y: 2\n"}},
        {"empty", "", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(splitMailbox(c.mailbox, 1024), c.messages);
    }

    EXPECT_TRUE(looksLikeMailbox("From nsb@example.com Tue Oct  8 10:29:39 1991"));
    EXPECT_FALSE(looksLikeMailbox("From the desk of the manager, 9 to 5"));
    EXPECT_FALSE(looksLikeMailbox("Subject: From a Mon 10:00"));
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
    EXPECT_EQ(message.places.body(message.text.body.indexOf(QStringLiteral("zebra"))), (TextPosition {2, 3}));
}
