#include "WindowTestSupport.h"

#include "QtPrinters.h"

#include "mainwindow/BodyTextBox.h"
#include "mainwindow/PhraseHighlighter.h"
#include "scanner/CaptionNumbers.h"
#include "scanner/PhraseToolTip.h"
#include "scanner/TriggerPhrase.h"
#include "scanner/WeightBand.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QToolTip>

#include <algorithm>
#include <functional>
#include <map>

namespace {

struct Phrase
{
    QString text;
    int style;
};

// The marks a plain search finds, phrase by phrase: every case-insensitive occurrence, overlapping ones too.
std::vector<TextMark> searchedMarks(const QString& text, const std::vector<Phrase>& phrases)
{
    std::vector<TextMark> marks;
    for (const Phrase& phrase : phrases) {
        for (qsizetype at = text.indexOf(phrase.text, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(phrase.text, at + 1, Qt::CaseInsensitive))
            marks.push_back({at, phrase.text.size(), phrase.style});
    }
    std::sort(marks.begin(), marks.end(), [](const TextMark& a, const TextMark& b) {
        return a.start != b.start ? a.start < b.start : a.length > b.length;
    });
    return marks;
}

std::vector<TextMark> sortedMarks(std::vector<TextMark> marks)
{
    std::sort(marks.begin(), marks.end(), [](const TextMark& a, const TextMark& b) {
        return a.start != b.start ? a.start < b.start : a.length > b.length;
    });
    return marks;
}

// The marks the subject box is sent to show: the formats of the last input method event that brings no text,
// at their places in the box's text (an event's places count from the caret).
class SubjectMarksSent : public QObject
{
public:
    explicit SubjectMarksSent(QLineEdit* box)
        : m_box(box)
    {
        box->installEventFilter(this);
    }

    const std::vector<TextMark>& marks() const { return m_marks; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::InputMethod)
            return false;
        const auto* sent = static_cast<QInputMethodEvent*>(event);
        if (!sent->preeditString().isEmpty() || !sent->commitString().isEmpty())
            return false;
        const QList<QTextCharFormat> styles = PhraseHighlighter::bandStyles();
        m_marks.clear();
        for (const QInputMethodEvent::Attribute& attribute : sent->attributes()) {
            if (attribute.type == QInputMethodEvent::TextFormat)
                m_marks.push_back({m_box->cursorPosition() + attribute.start, attribute.length,
                                   int(styles.indexOf(attribute.value.value<QTextFormat>().toCharFormat()))});
        }
        return false;
    }

private:
    QLineEdit* m_box;
    std::vector<TextMark> m_marks;
};

} // namespace

class PhraseHighlight : public WindowTest
{
protected:
    static constexpr char Definitions[] = "Tallyvex\t1\r\nfree\t0.5\r\nfree money\t2.5\r\nact now\t1.5\r\nnow\t1\r\n";
    const std::vector<Phrase> m_phrases {{QStringLiteral("free"), int(WeightBand::Light)},
                                         {QStringLiteral("free money"), int(WeightBand::Heavy)},
                                         {QStringLiteral("act now"), int(WeightBand::Medium)},
                                         {QStringLiteral("now"), int(WeightBand::Medium)}};

    void SetUp() override
    {
        openWindow(Definitions);
        m_subjectMarks = std::make_unique<SubjectMarksSent>(subject());
    }

    QLineEdit* subject() const { return control<QLineEdit>("tbSubject"); }
    BodyTextBox* body() const { return control<BodyTextBox>("tbInput"); }
    PhraseHighlighter& highlighter() const { return m_form->highlighter(); }

    void waitForMarks() const
    {
        EXPECT_TRUE(QTest::qWaitFor([this] { return !highlighter().isPending(); }));
    }

    // The marks the body's first block carries in its layout, as marks of the text.
    std::vector<TextMark> firstBlockMarks() const
    {
        std::vector<TextMark> marks;
        const QList<QTextCharFormat> styles = PhraseHighlighter::bandStyles();
        for (const QTextLayout::FormatRange& range : body()->document()->firstBlock().layout()->formats())
            marks.push_back({range.start, range.length, int(styles.indexOf(range.format))});
        return sortedMarks(marks);
    }

    void expectMarksInStep() const
    {
        EXPECT_EQ(sortedMarks(m_subjectMarks->marks()), searchedMarks(subject()->text(), m_phrases));
        EXPECT_EQ(sortedMarks(body()->marks()), searchedMarks(body()->text(), m_phrases));
        EXPECT_EQ(firstBlockMarks(), searchedMarks(body()->document()->firstBlock().text(), m_phrases));
    }

    std::unique_ptr<SubjectMarksSent> m_subjectMarks;
};

TEST_F(PhraseHighlight, MarksCoverExactlyTheOccurrences)
{
    struct Case
    {
        const char* name;
        QString subject;
        QString body;
    };
    const std::vector<Case> cases {
        {"none", QStringLiteral("Hello"), QStringLiteral("Nothing to see")},
        {"any case, capitals", QStringLiteral("FREE offer"), QStringLiteral("Free MONEY and free money")},
        {"inside words and overlapping", QStringLiteral("Act now, carefree"), QStringLiteral("act nownow")},
        {"body only", QString(), QStringLiteral("Free")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        subject()->setText(c.subject);
        body()->setPlainText(c.body);
        waitForMarks();
        expectMarksInStep();
    }
    const QList<QTextCharFormat> styles = PhraseHighlighter::bandStyles();
    ASSERT_EQ(styles.size(), 3);
    EXPECT_NE(styles.at(0).underlineStyle(), styles.at(1).underlineStyle());
    EXPECT_NE(styles.at(1).underlineStyle(), styles.at(2).underlineStyle());
}

// The wave under a heavy phrase as drawn at `ratio` device pixels per pixel: for each column of device pixels
// that shows it, the middle of its red in that column; both in pixels of the widget.
std::map<double, double> waveMiddles(QWidget* widget, int ratio)
{
    QImage drawn(widget->size() * ratio, QImage::Format_RGB32);
    drawn.setDevicePixelRatio(ratio);
    widget->render(&drawn, QPoint(), QRegion(), QWidget::RenderFlags());
    std::map<double, double> middles;
    for (int x = 0; x < drawn.width(); ++x) {
        double rows = 0;
        int count = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            const QColor pixel = drawn.pixelColor(x, y);
            // Far redder than the tint under the phrase and the text's grey edges.
            if (pixel.red() - pixel.green() > 80 && pixel.green() == pixel.blue()) {
                rows += y;
                ++count;
            }
        }
        if (count > 0)
            middles.emplace(double(x) / ratio, rows / count / ratio);
    }
    return middles;
}

TEST_F(PhraseHighlight, HeavyPhrasesAreUnderlinedWithAWaveAtEitherDensity)
{
    subject()->setText(QStringLiteral("Act: free money"));
    body()->setPlainText(QStringLiteral("Act: free money"));
    waitForMarks();
    struct Case
    {
        const char* name;
        QWidget* widget;
        // The caret place nearest to a point of the widget.
        std::function<int(QPoint)> caretAt;
    };
    const std::vector<Case> cases {
        {"subject", subject(), [this](QPoint at) { return subject()->cursorPositionAt(at); }},
        {"body", body()->viewport(), [this](QPoint at) { return body()->cursorForPosition(at).position(); }},
    };
    for (const Case& c : cases) {
        for (int ratio : {1, 2}) {
            SCOPED_TRACE(testing::Message() << c.name << " at " << ratio << "x");
            const std::map<double, double> wave = waveMiddles(c.widget, ratio);
            ASSERT_FALSE(wave.empty());
            // It runs under "free money" from end to end, and rises and falls by 2 pixels.
            const int textRow = int(wave.begin()->second) - 4;
            EXPECT_EQ(c.caretAt(QPoint(int(wave.begin()->first), textRow)), 5);
            EXPECT_EQ(c.caretAt(QPoint(int(wave.rbegin()->first), textRow)), 15);
            const auto [low, high] = std::minmax_element(
                wave.begin(), wave.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
            EXPECT_GE(high->second - low->second, 1.5);
        }
    }
}

TEST_F(PhraseHighlight, MarksFollowTypingPasteClearAndUndo)
{
    QApplication::clipboard()->setText(QStringLiteral("Money for free, act now"));
    struct Step
    {
        const char* name;
        bool editsBody;
        std::function<void()> act;
    };
    const std::vector<Step> steps {
        {"typing into the subject", false, [&] { QTest::keyClicks(subject(), QStringLiteral("Now free")); }},
        {"typing into the body", true, [&] { QTest::keyClicks(body(), QStringLiteral("free money now")); }},
        {"typing before a mark", true,
         [&] {
             body()->moveCursor(QTextCursor::Start);
             QTest::keyClicks(body(), QStringLiteral("Act "));
         }},
        {"Paste", true, [&] { QTest::mouseClick(control<QPushButton>("cmdPaste"), Qt::LeftButton); }},
        {"Undo", true, [&] { body()->undo(); }},
        {"Clear", false, [&] { QTest::mouseClick(control<QPushButton>("cmdSubClear"), Qt::LeftButton); }},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        // Until the marks follow, the edited block carries none that could stand beside their words.
        if (step.editsBody) {
            EXPECT_TRUE(highlighter().isPending());
            EXPECT_TRUE(firstBlockMarks().empty());
        }
        waitForMarks();
        expectMarksInStep();
    }
}

TEST_F(PhraseHighlight, MarksChangeNeitherTextNorSelectionNorUndoNorResults)
{
    subject()->setText(QStringLiteral("Free offer"));
    QTest::keyClicks(body(), QStringLiteral("Act now for free money"));
    control<QCheckBox>("chkStep")->setChecked(true);
    QTest::mouseClick(control<QPushButton>("cmdScore"), Qt::LeftButton);
    const auto state = [this] {
        const QTextCursor cursor = body()->textCursor();
        return QStringList {subject()->text(),
                            QString::number(subject()->selectionStart()),
                            subject()->selectedText(),
                            QString::number(subject()->isUndoAvailable()),
                            body()->text(),
                            QString::number(cursor.anchor()),
                            QString::number(cursor.position()),
                            QString::number(body()->document()->availableUndoSteps()),
                            QString::number(body()->document()->isModified()),
                            caption("lblScore"),
                            caption("lblPercent"),
                            caption("lblPassFail"),
                            caption("cmdScore"),
                            control<QPlainTextEdit>("tbPhrases")->toPlainText()};
    };
    const QStringList before = state();
    for (bool on : {true, false, true}) {
        SCOPED_TRACE(on);
        m_form->setHighlighting(on);
        highlighter().refresh();
        EXPECT_EQ(state(), before);
    }
    EXPECT_FALSE(body()->marks().empty());
}

TEST_F(PhraseHighlight, SwitchInTheContextMenusTakesTheMarksAway)
{
    subject()->setText(QStringLiteral("free"));
    body()->setPlainText(QStringLiteral("free money"));
    waitForMarks();
    ASSERT_TRUE(m_form->isHighlighting());
    for (QWidget* box : {static_cast<QWidget*>(subject()), static_cast<QWidget*>(body())}) {
        SCOPED_TRACE(box->objectName().toStdString());
        QAction* highlight = nullptr;
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* action : menu->actions()) {
                    if (action->text() == QStringLiteral("Highlight trigger phrases"))
                        highlight = action;
                }
                menu->close();
            }
        });
        emit box->customContextMenuRequested(QPoint(5, 5));
        ASSERT_NE(highlight, nullptr);
        EXPECT_TRUE(highlight->isCheckable());
        EXPECT_TRUE(highlight->isChecked());
    }
    m_form->findChild<QAction*>(QStringLiteral("actHighlight"))->trigger();
    EXPECT_FALSE(m_form->isHighlighting());
    EXPECT_TRUE(highlighter().subjectMarks().empty());
    EXPECT_TRUE(body()->marks().empty());
    EXPECT_TRUE(firstBlockMarks().empty());
    QTest::keyClicks(body(), QStringLiteral(" free"));
    EXPECT_FALSE(highlighter().isPending());
    m_form->setHighlighting(true);
    expectMarksInStep();
}

TEST_F(PhraseHighlight, ToolTipsExplainThePhrase)
{
    subject()->setText(QStringLiteral("Act NOW"));
    body()->setPlainText(QStringLiteral("free money,") + QStringLiteral(" free").repeated(12));
    QTest::mouseClick(control<QPushButton>("cmdScore"), Qt::LeftButton);
    waitForMarks();

    const QString free = QStringLiteral("\u201cfree\u201d adds 0.5 to the score each time a scan counts it.\n"
                                        "Written in capitals it counts twice: 1.\n"
                                        "It occurs 13 times in this message; a scan counts 11 of them.");
    const QString freeMoney
        = QStringLiteral("\u201cfree money\u201d adds 2.5 to the score each time a scan counts it.\n"
                         "Capitals never make it count twice, as it holds more than the letters A to Z.\n"
                         "It occurs once in this message, and a scan counts it.");
    const QString actNow
        = QStringLiteral("\u201cact now\u201d adds 1.5 to the score each time a scan counts it.\n"
                         "Capitals never make it count twice, as it holds more than the letters A to Z.\n"
                         "It occurs once in this message, and a scan counts it.");
    const QString nowInCapitals = QStringLiteral("\u201cnow\u201d adds 1 to the score each time a scan counts it.\n"
                                                 "Written in capitals it counts twice: 2.\n"
                                                 "It occurs once in this message, and a scan counts it.\n"
                                                 "This one is written in capitals and counts twice.");
    const QString notCounted = QStringLiteral("\nA scan does not count this one: it counts the first occurrence, "
                                              "then at most ten more that have a space on each side.");
    // The middle of a character of the body, which is one line.
    const auto inBody = [this](int offset) {
        QTextCursor cursor(body()->document());
        cursor.setPosition(offset);
        const QRect before = body()->cursorRect(cursor);
        cursor.setPosition(offset + 1);
        return QPoint((before.x() + body()->cursorRect(cursor).x()) / 2, before.center().y());
    };
    struct Case
    {
        const char* name;
        QString shown;
        QString expected;
    };
    const std::vector<Case> cases {
        {"nested phrases", toolTipAt(body()->viewport(), inBody(1)), free + QStringLiteral("\n\n") + freeMoney},
        {"the twelfth padded one", toolTipAt(body()->viewport(), inBody(int(body()->text().size()) - 2)),
         free + notCounted},
        {"no mark", toolTipAt(body()->viewport(), inBody(10)), QString()},
        {"capitals in the subject", highlighter().toolTipAt(Pane::Subject, 5),
         actNow + QStringLiteral("\n\n") + nowInCapitals},
        {"phrase list line", toolTipAt(control<QPlainTextEdit>("tbPhrases")->viewport(), QPoint(4, 4)), free},
        {"phrase not in the table", highlighter().toolTipForPhrase(QStringLiteral("money")), QString()},
        {"numbers in the user's locale",
         PhraseToolTip::aboutPhrase({QStringLiteral("FREE"), 2.5}, 1200, 11, CaptionNumbers(QLocale(QLocale::German))),
         QStringLiteral("\u201cFREE\u201d adds 2,5 to the score each time a scan counts it.\n"
                        "Written in capitals it counts twice: 5.\n"
                        "It occurs 1.200 times in this message; a scan counts 11 of them.")},
        {"plainer wordings",
         PhraseToolTip::aboutPhrase({QStringLiteral("now"), 1, {"later", "", "soon"}}, 0, 0,
                                    CaptionNumbers(QLocale(QLocale::English))),
         QStringLiteral("\u201cnow\u201d adds 1 to the score each time a scan counts it.\n"
                        "Written in capitals it counts twice: 2.\n"
                        "Plainer: \u201clater\u201d, \u201csoon\u201d, or leave it out.\n"
                        "It does not occur in the message as it stands now.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.shown, c.expected);
    }
}

TEST_F(PhraseHighlight, TextBeingComposedInTheSubjectIsLeftAlone)
{
    subject()->setFocus();
    QTest::keyClicks(subject(), QStringLiteral("free "));
    waitForMarks();
    ASSERT_FALSE(highlighter().subjectMarks().empty());
    QInputMethodEvent composing(QStringLiteral("mon"), {});
    QApplication::sendEvent(subject(), &composing);
    const QImage shown = subject()->grab().toImage();
    highlighter().textChanged();
    highlighter().refresh();
    EXPECT_TRUE(subject()->grab().toImage() == shown) << "the composition was ended";

    QInputMethodEvent committed;
    committed.setCommitString(QStringLiteral("money"));
    QApplication::sendEvent(subject(), &committed);
    waitForMarks();
    EXPECT_EQ(subject()->text(), QStringLiteral("free money"));
    expectMarksInStep();
}

// The context menu of a marked phrase offers its plainer wordings; taking one replaces exactly that
// occurrence, also right after an edit moved it (before the marks followed), as one step that Ctrl+Z takes back.
class PhraseReplacement : public PhraseHighlight
{
protected:
    void SetUp() override
    {
        QFile alternatives(m_folder.filePath(QStringLiteral("Alternatives.dat")));
        ASSERT_TRUE(alternatives.open(QIODevice::WriteOnly));
        alternatives.write("H\t1\r\nfree money\tfunds\tspare cash\r\nact now\treply soon\r\nnow\t(remove)\r\n");
        alternatives.close();
        PhraseHighlight::SetUp();
    }

    // Opens the menu as `open` does, takes the entry `choice` and returns the menu's entries.
    QStringList choose(const std::function<void()>& open, const QString& choice)
    {
        QStringList entries;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu)
                return;
            QAction* chosen = nullptr;
            for (QAction* action : menu->actions()) {
                entries << action->text();
                if (action->text() == choice)
                    chosen = action;
            }
            menu->close();
            if (chosen)
                chosen->trigger();
        });
        open();
        return entries;
    }
};

TEST_F(PhraseReplacement, TakingAWordingReplacesThatOccurrenceAsOneUndoStep)
{
    enum class Opening
    {
        ShiftF10,
        MenuKey,
        Mouse
    };
    struct Case
    {
        const char* name;
        Pane pane;
        QString text;
        // Typed at the start of the box after the marks followed the text, so that the phrase has moved.
        QString typedBefore;
        // The phrase's offset once typed before.
        int phraseAt;
        Opening opening;
        QStringList offered;
        QString choice;
        QString replaced;
    };
    const QStringList actNow {"Replace with", "reply soon", ""};
    const QStringList freeMoney {"Replace with", "funds", "spare cash", ""};
    const std::vector<Case> cases {
        {"subject, longest phrase at the caret, its capital kept",
         Pane::Subject,
         "Act now today",
         {},
         2,
         Opening::ShiftF10,
         {"Replace with", "Reply soon", ""},
         "Reply soon",
         "Reply soon today"},
        {"subject, moved by an edit", Pane::Subject, "act now please", "Do ", 3 + 2, Opening::ShiftF10, actNow,
         "reply soon", "Do reply soon please"},
        {"subject near its limit: a wording that would not fit is not taken",
         Pane::Subject,
         QString(111, u'x') + " act now",
         {},
         113,
         Opening::ShiftF10,
         actNow,
         "reply soon",
         QString(111, u'x') + " act now"},
        {"body, under the mouse",
         Pane::Body,
         "Get free money here",
         {},
         4 + 6,
         Opening::Mouse,
         freeMoney,
         "spare cash",
         "Get spare cash here"},
        {"body, on a later line moved by an edit", Pane::Body, "line one\nfree money", "Hello ", 15 + 2, Opening::Mouse,
         freeMoney, "funds", "Hello line one\nfunds"},
        {"body, removed from the context-menu key",
         Pane::Body,
         "so now go",
         {},
         3 + 1,
         Opening::MenuKey,
         {"Remove", ""},
         "Remove",
         "so  go"},
    };
    const auto paneText = [this](Pane pane) { return pane == Pane::Subject ? subject()->text() : body()->text(); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QWidget* box = c.pane == Pane::Subject ? static_cast<QWidget*>(subject()) : static_cast<QWidget*>(body());
        subject()->clear();
        body()->clear();
        c.pane == Pane::Subject ? subject()->setText(c.text) : body()->setPlainText(c.text);
        waitForMarks();
        box->setFocus();
        if (!c.typedBefore.isEmpty()) {
            c.pane == Pane::Subject ? subject()->setCursorPosition(0) : body()->moveCursor(QTextCursor::Start);
            QTest::keyClicks(box, c.typedBefore);
            ASSERT_TRUE(highlighter().isPending());
        }
        const QString before = paneText(c.pane);
        QTextCursor caret(body()->document());
        caret.setPosition(body()->positionOf(c.phraseAt));
        const QStringList offered = choose(
            [&] {
                if (c.opening == Opening::Mouse) {
                    emit body()->customContextMenuRequested(body()->cursorRect(caret).center() + QPoint(2, 0));
                    return;
                }
                c.pane == Pane::Subject ? subject()->setCursorPosition(c.phraseAt) : body()->setTextCursor(caret);
                if (c.opening == Opening::ShiftF10) {
                    QTest::keyClick(box, Qt::Key_F10, Qt::ShiftModifier);
                    return;
                }
                QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(1, 1), box->mapToGlobal(QPoint(1, 1)));
                QApplication::sendEvent(box, &menuKey);
            },
            c.choice);
        EXPECT_EQ(offered.mid(0, c.offered.size()), c.offered);
        EXPECT_EQ(paneText(c.pane), c.replaced);
        waitForMarks();
        expectMarksInStep();
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(paneText(c.pane), before);
    }
}
