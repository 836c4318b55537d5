#include "WindowTestSupport.h"

#include "QtPrinters.h"
#include "TemporaryFiles.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

QString emlFile(const char* name)
{
    return QStringLiteral(TALLYVEX_TEST_DATA "/eml/") + QString::fromLatin1(name);
}

} // namespace

class MessageDrop : public WindowTest
{
protected:
    // Drags the data onto the window and drops it there; true when the window took the drag.
    bool drop(const QMimeData& data)
    {
        const QPoint centre = m_form->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(centre), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_form.get(), &dropped);
        QCoreApplication::processEvents();
        return dropped.isAccepted();
    }

    bool dropFiles(const QStringList& paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        return drop(data);
    }

    // Everything a drop must leave alone: the results of the scan before it, and the other controls.
    QStringList untouchedState() const
    {
        return {caption("lblScore"),
                caption("lblPercent"),
                caption("lblPassFail"),
                caption("lblStatus"),
                caption("cmdScore"),
                control<QPlainTextEdit>("tbPhrases")->toPlainText(),
                control<QLineEdit>("tbSearchNorvane")->text()};
    }

    void scanSomething()
    {
        control<QLineEdit>("tbSubject")->setText(QStringLiteral("Act now"));
        control<QPlainTextEdit>("tbInput")->setPlainText(QStringLiteral("It is free"));
        QTest::mouseClick(control<QPushButton>("cmdScore"), Qt::LeftButton);
    }
};

TEST_F(MessageDrop, MessageFileFillsSubjectAndBodyAndNothingElse)
{
    scanSomething();
    const QStringList before = untouchedState();
    ASSERT_NE(caption("lblScore"), QStringLiteral("0"));

    struct Case
    {
        QString file;
        QString subject;
        QString body;
    };
    const std::vector<Case> cases {
        {emlFile("alternative.eml"), QStringLiteral("Weekly news"), QStringLiteral("Click here for free money")},
        {emlFile("html-only.eml"), QStringLiteral("Special promotion"),
         QStringLiteral("Big savings\nCaf\u00e9 & more:\norder today\none\ntwo")},
        {emlFile("subject-latin1.eml"), QStringLiteral("Caf\u00e9 \u00e0 la cr\u00e8me"),
         QStringLiteral("Cr\u00e8me br\u00fbl\u00e9e\n")},
        // A text file has no subject: the one before stays.
        {writeFile(m_folder, "draft.TXT", "Dear friend,\r\nact now\r\n"),
         QStringLiteral("Caf\u00e9 \u00e0 la cr\u00e8me"), QStringLiteral("Dear friend,\nact now\n")},
        {writeFile(m_folder, "template.htm",
                   "<html><head><title> Hello\n {{ name }} </title></head><body><p>Act <b>now</b></p>"
                   "<p>*|FNAME|*</p></body></html>"),
         QStringLiteral("Hello {{ name }}"), QStringLiteral("Act now\n*|FNAME|*")},
    };
    for (const Case& message : cases) {
        SCOPED_TRACE(message.file.toStdString());
        EXPECT_TRUE(dropFiles({message.file}));
        EXPECT_EQ(control<QLineEdit>("tbSubject")->text(), message.subject);
        EXPECT_EQ(control<QPlainTextEdit>("tbInput")->toPlainText(), message.body);
        EXPECT_EQ(untouchedState(), before);
    }
    EXPECT_TRUE(m_messages.requests().isEmpty());
}

TEST_F(MessageDrop, LongSubjectIsCutAsTheBoxCutsIt)
{
    const QString path = m_folder.filePath(QStringLiteral("long.EML"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Subject: " + QByteArray(150, 'x') + "\r\nContent-Type: text/plain\r\n\r\nBody\r\n");
    file.close();

    EXPECT_TRUE(dropFiles({path}));
    EXPECT_EQ(control<QLineEdit>("tbSubject")->text(), QString(120, u'x'));
    EXPECT_EQ(control<QPlainTextEdit>("tbInput")->toPlainText(), QStringLiteral("Body\n"));
}

TEST_F(MessageDrop, AnythingElseIsRefusedAndChangesNothing)
{
    scanSomething();
    const QStringList before = untouchedState();
    const QString subject = control<QLineEdit>("tbSubject")->text();
    const QString body = control<QPlainTextEdit>("tbInput")->toPlainText();

    QMimeData text;
    text.setText(QStringLiteral("Dropped text"));
    QMimeData webAddress;
    webAddress.setUrls({QUrl(QStringLiteral("https://www.fenwicklark.example/message.eml"))});
    struct Case
    {
        const char* name;
        const QMimeData* data;
        QStringList files;
    };
    const std::vector<Case> cases {
        {"definitions", nullptr, {QStringLiteral(TALLYVEX_SOURCE_DIR "/resources/Definitions.dat")}},
        {"two messages", nullptr, {emlFile("plain.eml"), emlFile("base64.eml")}},
        {"plain text", &text, {}},
        {"a web address", &webAddress, {}},
    };
    for (const Case& refused : cases) {
        SCOPED_TRACE(refused.name);
        EXPECT_FALSE(refused.data ? drop(*refused.data) : dropFiles(refused.files));
        EXPECT_EQ(control<QLineEdit>("tbSubject")->text(), subject);
        EXPECT_EQ(control<QPlainTextEdit>("tbInput")->toPlainText(), body);
        EXPECT_EQ(untouchedState(), before);
    }
    EXPECT_TRUE(m_messages.requests().isEmpty());
}

TEST_F(MessageDrop, MalformedMessageIsReportedInAMessageBox)
{
    control<QLineEdit>("tbSubject")->setText(QStringLiteral("Kept"));
    for (const char* file : {"broken-empty-part.eml", "missing.eml"}) {
        SCOPED_TRACE(file);
        const qsizetype shown = m_messages.requests().size();
        EXPECT_TRUE(dropFiles({emlFile(file)}));
        ASSERT_EQ(m_messages.requests().size(), shown + 1);
        const MessageBoxRequest& request = m_messages.requests().constLast();
        EXPECT_EQ(request.icon, MessageIcon::Warning);
        EXPECT_EQ(request.title, QStringLiteral("Tallyvex"));
        EXPECT_TRUE(request.text.contains(QString::fromLatin1(file))) << request.text.toStdString();
        EXPECT_EQ(control<QLineEdit>("tbSubject")->text(), QStringLiteral("Kept"));
    }
    EXPECT_TRUE(m_messages.requests().constFirst().text.contains(QStringLiteral("neither header lines nor content")));
    EXPECT_TRUE(m_messages.requests().constLast().text.contains(QStringLiteral("cannot be opened")));
}

TEST_F(MessageDrop, TextBoxesLeaveDropsToTheWindow)
{
    EXPECT_TRUE(m_form->acceptDrops());
    for (const char* name : {"tbSubject", "tbInput", "tbPhrases", "tbSearchNorvane"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(control(name)->acceptDrops());
    }
}
