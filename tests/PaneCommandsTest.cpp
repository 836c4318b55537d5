#include "WindowTestSupport.h"

#include "TemporaryFiles.h"

#include "forms/ElidedLabel.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>

#include <functional>

namespace {

class ScanOnScreen : public WindowTest
{
protected:
    QLineEdit* subject() const { return control<QLineEdit>("tbSubject"); }
    QPlainTextEdit* body() const { return control<QPlainTextEdit>("tbInput"); }
    void click(const char* name) const { QTest::mouseClick(control(name), Qt::LeftButton); }
    QString selectedInBody() const { return body()->textCursor().selectedText(); }
    QList<int> barWidths() const
    {
        return {control("lblBar1")->width(), control("lblBar2")->width(), control("lblBar3")->width()};
    }
    // The texts of the result captions: score, percentage, verdict, status, scan button.
    QStringList results() const
    {
        return {caption("lblScore"), caption("lblPercent"), caption("lblPassFail"), caption("lblStatus"),
                caption("cmdScore")};
    }
    // Whether the box is drawn with any pixel in the selection colour.
    static bool showsSelection(QWidget* box)
    {
        const QColor highlight = box->palette().color(QPalette::Active, QPalette::Highlight);
        const QImage drawn = box->grab().toImage();
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                if (drawn.pixelColor(x, y) == highlight)
                    return true;
            }
        }
        return false;
    }
    void fillPanes()
    {
        subject()->setText(QStringLiteral("FREE offer"));
        body()->setPlainText(QStringLiteral("act now and get it free today"));
    }
};

} // namespace

TEST_F(ScanOnScreen, ScanShowsTheResultsPhrasesAndGauge)
{
    fillPanes();
    click("cmdScore");
    // 'FREE' in capitals counts twice, ' free ' in the body once, 'act now' two: 5.0 over 39 characters.
    EXPECT_EQ(results(), QStringList({"5.0", "15.38%", "Fail", "Finished Scanning", "Scan"}));
    EXPECT_EQ(control<QPlainTextEdit>("tbPhrases")->toPlainText(), QStringLiteral("free\nact now\n"));
    EXPECT_EQ(barWidths(), QList<int>({94, 125, 157}));
    EXPECT_FALSE(subject()->hasSelectedText());
}

TEST_F(ScanOnScreen, StepThroughSelectsEachOccurrenceAndTheButtonReadsNext)
{
    fillPanes();
    click("chkStep");
    ASSERT_TRUE(control<QCheckBox>("chkStep")->isChecked());
    control("cmdScore")->setFocus();

    click("cmdScore");
    EXPECT_EQ(results(), QStringList({"2.0", "6.15%", "'free' - (Bold) 2", "Scanning Email Content", "Next"}));
    EXPECT_EQ(subject()->selectedText(), QStringLiteral("FREE"));
    EXPECT_EQ(subject()->selectionStart(), 0);
    EXPECT_EQ(selectedInBody(), QString());
    EXPECT_EQ(barWidths(), QList<int>({94, 125, 157}));
    EXPECT_TRUE(showsSelection(subject())) << "highlighted while the scan button has the focus";

    click("cmdScore");
    EXPECT_TRUE(showsSelection(body()->viewport()));
    EXPECT_FALSE(showsSelection(subject()));
    EXPECT_EQ(results(), QStringList({"3.0", "9.23%", "'free' - 1", "Scanning Email Content", "Next"}));
    EXPECT_FALSE(subject()->hasSelectedText());
    EXPECT_EQ(selectedInBody(), QStringLiteral("free"));
    EXPECT_EQ(body()->textCursor().selectionStart(), 19);

    click("cmdScore");
    EXPECT_EQ(selectedInBody(), QStringLiteral("act now"));
    click("cmdScore");
    EXPECT_EQ(results(), QStringList({"5.0", "15.38%", "Fail", "Finished Scanning", "Scan"}));
    EXPECT_FALSE(body()->textCursor().hasSelection());
}

TEST_F(ScanOnScreen, CheckingStepThroughResetsTheResultsButNotTheGaugeOrVerdict)
{
    fillPanes();
    click("cmdScore");
    body()->moveCursor(QTextCursor::End);
    click("chkStep");
    EXPECT_EQ(results(), QStringList({"0.0", "%", "Fail", "Finished Scanning", "Scan"}));
    EXPECT_EQ(control<QPlainTextEdit>("tbPhrases")->toPlainText(), QString());
    EXPECT_EQ(barWidths(), QList<int>({94, 125, 157}));
    EXPECT_EQ(body()->textCursor().position(), 0);

    click("chkStep");
    EXPECT_EQ(caption("lblPassFail"), QStringLiteral("Fail"));
}

TEST_F(ScanOnScreen, EmptyPanesShowThePromptAndChangeNothing)
{
    subject()->setText(QStringLiteral("   "));
    body()->setPlainText(QStringLiteral("  "));
    click("cmdScore");
    ASSERT_EQ(m_messages.requests().size(), 1);
    const MessageBoxRequest& prompt = m_messages.requests().constFirst();
    EXPECT_EQ(prompt.icon, MessageIcon::None);
    EXPECT_EQ(prompt.title, QStringLiteral("Tallyvex"));
    EXPECT_EQ(prompt.text, QStringLiteral("You must enter a copy of your email into the Tallyvex"));
    EXPECT_EQ(results(), QStringList({"0", "%", "", "Enter your email content below", "Scan"}));
    EXPECT_EQ(control("lblBar1")->width(), 2) << "the start-up sliver stays until the gauge is sized";
}

TEST_F(ScanOnScreen, EnterInEitherPaneScansBeforeThePaneSeesTheKey)
{
    const struct
    {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } presses[] = {
        {"Return", Qt::Key_Return, Qt::NoModifier},
        {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier},
        {"Shift+Return", Qt::Key_Return, Qt::ShiftModifier},
        {"Ctrl+Return", Qt::Key_Return, Qt::ControlModifier},
    };
    for (const auto& press : presses) {
        SCOPED_TRACE(press.name);
        subject()->clear();
        body()->setPlainText(QStringLiteral("act now"));
        body()->moveCursor(QTextCursor::End);
        QTest::keyClick(body(), press.key, press.modifiers);
        // Scanned on "act now" alone: 2.0 over 7 characters.
        EXPECT_EQ(caption("lblScore"), QStringLiteral("2.0"));
        EXPECT_EQ(caption("lblPercent"), QStringLiteral("34.29%"));
        EXPECT_TRUE(body()->toPlainText().startsWith(QStringLiteral("act now")));

        body()->setPlainText(QStringLiteral("free"));
        subject()->setText(QStringLiteral("nothing here"));
        subject()->setCursorPosition(4);
        QTest::keyClick(subject(), press.key, press.modifiers);
        EXPECT_EQ(caption("lblScore"), QStringLiteral("1.0"));
        EXPECT_EQ(subject()->text(), QStringLiteral("nothing here"));
        EXPECT_EQ(subject()->cursorPosition(), 4) << "the scan leaves the typing position where it was";
    }
}

TEST_F(ScanOnScreen, TypingWithEnterKeepsTheTextInOrder)
{
    const struct
    {
        const char* name;
        bool stepThrough;
        QString before;
        int caret;
        QString after;
    } cases[] = {
        {"at the end", false, QStringLiteral("first line"), 10, QStringLiteral("first line\nsecond line")},
        {"in the middle", false, QStringLiteral("first line"), 6, QStringLiteral("first \nsecond lineline")},
        // Stops in the body keep the key; the press that ends the walk breaks the line at the caret.
        {"walk to the end", true, QStringLiteral("free offer"), 10, QStringLiteral("free offer\nsecond line")},
        {"walk in the middle", true, QStringLiteral("get free offer"), 4,
         QStringLiteral("get \nsecond linefree offer")},
    };
    for (const auto& typing : cases) {
        SCOPED_TRACE(typing.name);
        subject()->clear();
        body()->clear();
        control<QCheckBox>("chkStep")->setChecked(typing.stepThrough);
        body()->setFocus();
        QTest::keyClicks(body(), typing.before);
        QTextCursor caret = body()->textCursor();
        caret.setPosition(typing.caret);
        body()->setTextCursor(caret);
        QTest::keyClick(body(), Qt::Key_Return);
        if (typing.stepThrough) {
            EXPECT_EQ(selectedInBody(), QStringLiteral("free"));
            QTest::keyClick(body(), Qt::Key_Return);
            EXPECT_EQ(caption("cmdScore"), QStringLiteral("Scan"));
        }
        QTest::keyClicks(body(), QStringLiteral("second line"));
        EXPECT_EQ(body()->toPlainText(), typing.after);
    }
}

TEST_F(ScanOnScreen, EnterKeepsAnOccurrenceSelectedInTheBody)
{
    fillPanes();
    control<QCheckBox>("chkStep")->click();
    // The first stop lies in the subject: the subject box does nothing with Enter anyway.
    QTest::keyClick(body(), Qt::Key_Return);
    EXPECT_EQ(subject()->selectedText(), QStringLiteral("FREE"));
    EXPECT_EQ(body()->toPlainText(), QStringLiteral("\nact now and get it free today"))
        << "a stop in the subject lets the body box have its line break";

    body()->setPlainText(QStringLiteral("act now and get it free today"));
    QTest::keyClick(body(), Qt::Key_Return);
    EXPECT_EQ(body()->toPlainText(), QStringLiteral("act now and get it free today"));
    EXPECT_EQ(selectedInBody(), QStringLiteral("free"));
    EXPECT_EQ(caption("cmdScore"), QStringLiteral("Next"));
}

TEST_F(ScanOnScreen, PasteReplacesThePaneWithTheClipboardText)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString longText(200, u'x');
    subject()->setText(QStringLiteral("old"));
    subject()->setCursorPosition(1);
    clipboard->setText(longText);
    click("cmdSubPaste");
    EXPECT_EQ(subject()->text(), QString(120, u'x'));

    body()->setPlainText(QStringLiteral("old body"));
    clipboard->setText(QStringLiteral("line one\nline two"));
    click("cmdPaste");
    EXPECT_EQ(body()->toPlainText(), QStringLiteral("line one\nline two"));

    clipboard->setImage(QImage(4, 4, QImage::Format_RGB32));
    click("cmdPaste");
    EXPECT_EQ(body()->toPlainText(), QString());
    click("cmdSubPaste");
    EXPECT_EQ(subject()->text(), QString());
}

// Also run on a virtual X11 screen (see tests/CMakeLists.txt), whose desktops bind only Ctrl+Shift+Z to redo.
TEST_F(ScanOnScreen, PasteClearAndFileLoadsAreEachOneStepThatUndoAndCtrlYTakeBackAndRedo)
{
    const QString draftSubject = QStringLiteral("an hour's subject");
    const QString draftBody = QStringLiteral("an hour's draft");
    const QString fromClipboard = QStringLiteral("from the clipboard");
    const QString eml = QStringLiteral(TALLYVEX_TEST_DATA "/eml/alternative.eml");
    const QString text = writeFile(m_folder, "draft.txt", "Act now\r\n");
    const QString empty = writeFile(m_folder, "empty.txt", "");
    const struct
    {
        const char* name;
        std::function<void()> act;
        QString subject; // after the act; the draft where it leaves the box alone
        QString body;
        bool subjectEmptied = false; // the subject is empty before the act, deleted by keyboard
    } cases[] = {
        {"subject Clear", [this] { click("cmdSubClear"); }, QString(), draftBody},
        {"body Paste", [this] { click("cmdPaste"); }, draftSubject, fromClipboard},
        {"saved e-mail", [&] { m_form->openMessageFile(eml); }, QStringLiteral("Weekly news"),
         QStringLiteral("Click here for free money")},
        {"saved e-mail into an emptied subject", [&] { m_form->openMessageFile(eml); }, QStringLiteral("Weekly news"),
         QStringLiteral("Click here for free money"), true},
        {"text file", [&] { m_form->openMessageFile(text); }, draftSubject, QStringLiteral("Act now\n")},
        {"empty file", [&] { m_form->openMessageFile(empty); }, draftSubject, draftBody},
    };
    QGuiApplication::clipboard()->setText(fromClipboard);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Typed by hand; the subject deleted once on the way, which the box would join to an insertion after it.
        subject()->setText(QString());
        body()->setPlainText(QString());
        QTest::keyClicks(subject(), draftSubject);
        subject()->selectAll();
        QTest::keyClick(subject(), Qt::Key_Delete);
        if (!c.subjectEmptied)
            QTest::keyClicks(subject(), draftSubject);
        QTest::keyClicks(body(), draftBody);
        const QString subjectBefore = subject()->text();
        const qsizetype messages = m_messages.requests().size();

        c.act();
        EXPECT_EQ(subject()->text(), c.subject);
        EXPECT_EQ(body()->toPlainText(), c.body);
        const bool emptyFile = c.subject == draftSubject && c.body == draftBody;
        ASSERT_EQ(m_messages.requests().size(), messages + (emptyFile ? 1 : 0));
        if (emptyFile) {
            EXPECT_EQ(m_messages.requests().constLast().text,
                      QStringLiteral("The file %1 is empty, so the subject and body are left as they are.")
                          .arg(QDir::toNativeSeparators(empty)));
        }

        // In each box the act changed, typing at the end goes on as a step of its own: Ctrl+Z takes back the
        // typing, then the act; Ctrl+Y brings the act back. (Moving the subject's caret would end its step.)
        body()->moveCursor(QTextCursor::End);
        const auto steps = [](QWidget* box, const std::function<QString()>& shown, const QString& before) {
            box->setFocus();
            const QString after = shown();
            QTest::keyClicks(box, QStringLiteral("!"));
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(shown(), after) << "typing after it undone";
            QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
            EXPECT_EQ(shown(), before) << "the act undone";
            QTest::keyClick(box, Qt::Key_Y, Qt::ControlModifier);
            EXPECT_EQ(shown(), after) << "the act redone";
        };
        const auto subjectText = [this] { return subject()->text(); };
        const auto bodyText = [this] { return body()->toPlainText(); };
        if (c.subject != subjectBefore)
            steps(subject(), subjectText, subjectBefore);
        if (c.body != draftBody)
            steps(body(), bodyText, draftBody);
    }
}

TEST_F(ScanOnScreen, ALongPhraseShowsFromItsStartInTheStopCaptionAndOnOneLineInTheList)
{
    openWindow("Tallyvex\t1\r\nyou received this email because\t1\r\n");
    body()->setPlainText(QStringLiteral("you received this email because you asked for it"));
    control<QCheckBox>("chkStep")->setChecked(true);
    auto* caption = control<ElidedLabel>("lblPassFail");
    const QPoint middle = caption->rect().center();
    const struct
    {
        const char* stop;
        QString whole;
        bool cut;
    } stops[] = {
        {"long phrase", QStringLiteral("'you received this email because' - 1"), true},
        {"verdict", QStringLiteral("Pass"), false},
    };
    for (const auto& stop : stops) {
        SCOPED_TRACE(stop.stop);
        click("cmdScore");
        ASSERT_EQ(caption->text(), stop.whole);
        const QString shown = caption->shownText();
        if (stop.cut) {
            EXPECT_TRUE(shown.endsWith(u'\u2026')) << shown.toStdString();
            EXPECT_TRUE(stop.whole.startsWith(shown.chopped(1))) << shown.toStdString();
            EXPECT_LE(caption->fontMetrics().horizontalAdvance(shown), caption->width());
        }
        // It draws what it says it shows, as a label of just that text would.
        QLabel plain(shown);
        plain.setFont(caption->font());
        plain.setPalette(caption->palette());
        plain.setAlignment(caption->alignment());
        plain.resize(caption->size());
        const auto drawn = [](QWidget* label) {
            QImage image(label->size(), QImage::Format_RGB32);
            image.fill(Qt::white);
            label->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
            return image;
        };
        EXPECT_TRUE(drawn(caption) == drawn(&plain));
        EXPECT_EQ(toolTipAt(caption, middle), stop.cut ? stop.whole : QString());
    }

    // The list scrolls sideways to show the rest of the line.
    auto* list = control<QPlainTextEdit>("tbPhrases");
    ASSERT_EQ(list->toPlainText(), QStringLiteral("you received this email because\n"));
    EXPECT_EQ(list->document()->firstBlock().layout()->lineCount(), 1);
    EXPECT_GT(list->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(list->horizontalScrollBar()->value(), 0) << "the list shows the start of its lines";
}

TEST_F(ScanOnScreen, ALongLineIsShownInPiecesButStaysOneLine)
{
    // The body box breaks the line for display after the space before "now".
    const QString line = QString(4090, u'x') + QStringLiteral(" act now ") + QString(6000, u'y');
    QClipboard* clipboard = QGuiApplication::clipboard();
    const auto bodyText = [this, clipboard] {
        click("cmdCopy");
        return clipboard->text();
    };
    clipboard->setText(line);
    click("cmdPaste");
    ASSERT_GT(body()->blockCount(), 2);
    EXPECT_EQ(bodyText(), line);
    QTest::keySequence(body(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QTest::keySequence(body(), QKeySequence(Qt::CTRL | Qt::Key_Y));
    EXPECT_EQ(bodyText(), line) << "redone, it is still one line";

    control<QCheckBox>("chkStep")->setChecked(true);
    click("cmdScore");
    EXPECT_EQ(caption("lblPassFail"), QStringLiteral("'act now' - 2"));
    QTest::keySequence(body(), QKeySequence::Copy);
    EXPECT_EQ(clipboard->text(), QStringLiteral("act now")) << "the selection is the occurrence";
    click("cmdScore");
    control<QCheckBox>("chkStep")->setChecked(false);

    // Keys at the display break work on the text as written.
    QTextCursor caret = body()->textCursor();
    caret.setPosition(body()->document()->findBlockByNumber(1).position());
    body()->setTextCursor(caret);
    QTest::keyClick(body(), Qt::Key_Backspace);
    EXPECT_EQ(bodyText(), QString(line).remove(4094, 1));
    QTest::keyClick(body(), Qt::Key_Delete);
    EXPECT_EQ(bodyText(), QString(line).remove(4094, 2));
    QTest::keyClick(body(), Qt::Key_Return);
    EXPECT_EQ(bodyText(), QString(line).remove(4094, 2).insert(4094, u'\n'));
    // Lines pasted into a piece of the long line are lines of their own.
    clipboard->setText(QStringLiteral("one\ntwo"));
    body()->moveCursor(QTextCursor::End);
    QTest::keySequence(body(), QKeySequence::Paste);
    EXPECT_TRUE(bodyText().endsWith(QStringLiteral("yyyone\ntwo")));
}

TEST_F(ScanOnScreen, CopyPutsTheWholePaneOnTheClipboard)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    subject()->setText(QStringLiteral("Quarterly figures"));
    subject()->setSelection(0, 3);
    click("cmdSubCopy");
    EXPECT_EQ(clipboard->text(), QStringLiteral("Quarterly figures"));

    body()->setPlainText(QStringLiteral("first\nsecond"));
    click("cmdCopy");
    EXPECT_EQ(clipboard->text(), QStringLiteral("first\nsecond"));

    body()->clear();
    click("cmdCopy");
    EXPECT_EQ(clipboard->text(), QString());
    const QMimeData* contents = clipboard->mimeData();
    EXPECT_TRUE(contents == nullptr || !contents->hasText());
}

TEST_F(ScanOnScreen, ClearEmptiesOnePaneAndTheResultsButKeepsAWalkGoing)
{
    fillPanes();
    click("cmdScore");
    click("cmdSubClear");
    EXPECT_EQ(subject()->text(), QString());
    EXPECT_EQ(body()->toPlainText(), QStringLiteral("act now and get it free today"));
    EXPECT_EQ(results(), QStringList({"0.0", "%", "", "Finished Scanning", "Scan"}));
    EXPECT_EQ(control<QPlainTextEdit>("tbPhrases")->toPlainText(), QString());
    EXPECT_EQ(barWidths(), QList<int>({0, 0, 0}));

    fillPanes();
    click("chkStep");
    click("cmdScore");
    click("cmdScore");
    ASSERT_EQ(selectedInBody(), QStringLiteral("free"));
    click("cmdClear");
    EXPECT_EQ(body()->toPlainText(), QString());
    EXPECT_EQ(subject()->text(), QStringLiteral("FREE offer"));
    EXPECT_EQ(results(), QStringList({"0.0", "%", "", "Scanning Email Content", "Next"}));
    EXPECT_TRUE(m_form->session().isPaused());

    // The walk resumes on the texts as they now stand, after the stop.
    body()->setPlainText(QStringLiteral("act now and get it free today"));
    click("cmdScore");
    EXPECT_EQ(selectedInBody(), QStringLiteral("act now"));
    EXPECT_EQ(caption("lblScore"), QStringLiteral("2.0"));
}

TEST_F(ScanOnScreen, UncheckingStepThroughDuringAWalkChangesNeitherResultsNorSelection)
{
    fillPanes();
    click("chkStep");
    click("cmdScore");
    click("cmdScore");
    const QStringList shown = results();
    const QList<int> bars = barWidths();
    ASSERT_EQ(selectedInBody(), QStringLiteral("free"));

    click("chkStep");
    ASSERT_FALSE(control<QCheckBox>("chkStep")->isChecked());
    EXPECT_EQ(results(), shown);
    EXPECT_EQ(barWidths(), bars);
    EXPECT_EQ(control<QPlainTextEdit>("tbPhrases")->toPlainText(), QStringLiteral("free\n"));
    EXPECT_EQ(selectedInBody(), QStringLiteral("free"));
    EXPECT_EQ(body()->textCursor().selectionStart(), 19);
}
