#include "WindowTestSupport.h"

#include "forms/LegacyFonts.h"
#include "mainwindow/SkinRegion.h"

#include <QAccessible>
#include <QCheckBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

namespace {

const QColor Styled(128, 128, 255);

QColor textColour(const QWidget* widget)
{
    return widget->palette().color(QPalette::Active, QPalette::WindowText);
}

} // namespace

using MainFormLoad = WindowTest;

TEST_F(MainFormLoad, StylesTheLabelsAndEmptiesTheClickAreas)
{
    for (const char* name : {"lblExit", "lblAbout", "lblTitle", "lblPassFail"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(caption(name), QString());
    }
    EXPECT_EQ(caption("lblStatus"), QStringLiteral("Enter your email content below"));
    EXPECT_EQ(caption("lblScore"), QStringLiteral("0"));
    EXPECT_EQ(caption("lblPercent"), QStringLiteral("%"));
    EXPECT_EQ(caption("cmdScore"), QStringLiteral("Scan"));

    for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "lblScore", "lblPercent", "lblPassFail",
                             "lblTitle", "chkStep"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(textColour(control(name)), Styled);
    }
    for (const char* name : {"Label6", "Label7"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(textColour(control(name)), QApplication::palette().color(QPalette::ButtonText));
    }
}

TEST_F(MainFormLoad, StacksTheGaugeBarsAsAStartUpSliver)
{
    const QRect green = control("lblBar1")->geometry();
    EXPECT_EQ(green, QRect(176, 342, 2, 9));
    for (const char* name : {"lblBar2", "lblBar3"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(control(name)->geometry(), green);
    }
    QWidget* skin = control("picMainSkin");
    const auto depth = [skin](const char* name) { return skin->children().indexOf(skin->findChild<QObject*>(name)); };
    // Later children are drawn over earlier ones.
    EXPECT_GT(depth("lblBar1"), depth("lblBar2"));
    EXPECT_GT(depth("lblBar2"), depth("lblBar3"));
    EXPECT_GT(depth("Label1"), depth("lblScore"));
    EXPECT_GT(depth("Label7"), depth("lbProvidedby"));
    for (const char* label : {"Label7", "lblTitle", "lblBar1", "Line2"}) {
        for (const char* control : {"tbSubject", "tbInput", "cmdScore", "chkStep", "cmdGo"}) {
            SCOPED_TRACE(QStringLiteral("%1 under %2").arg(label, control).toStdString());
            EXPECT_LT(depth(label), depth(control));
        }
    }
}

TEST_F(MainFormLoad, ShapesAFramelessWindowToTheSkin)
{
    auto* skin = control("picMainSkin");
    EXPECT_EQ(m_form->size(), QSize(559, 496));
    EXPECT_EQ(skin->geometry(), QRect(0, 0, 559, 496));
    EXPECT_EQ(static_cast<QFrame*>(skin)->frameWidth(), 0);
    EXPECT_TRUE(m_form->windowFlags().testFlag(Qt::FramelessWindowHint));
    const QImage picture(QStringLiteral(":/skin.bmp"));
    ASSERT_EQ(picture.size(), QSize(559, 496));
    EXPECT_EQ(m_form->mask(), buildSkinRegion(picture));
    EXPECT_FALSE(m_form->mask().contains(QPoint(60, 59)));
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Tallyvex"));
}

TEST_F(MainFormLoad, SkinIsDrawnSharpOnScreensOfTwiceTheDensity)
{
    const QImage plain = QImage(QStringLiteral(":/skin.bmp")).convertToFormat(QImage::Format_RGB32);
    const QImage sharp = QImage(QStringLiteral(":/skin@2x.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(sharp.size(), 2 * plain.size());
    for (const auto& [ratio, expected] : {std::pair {1, plain}, std::pair {2, sharp}}) {
        SCOPED_TRACE(ratio);
        QImage drawn(plain.size() * ratio, QImage::Format_RGB32);
        drawn.setDevicePixelRatio(ratio);
        control("picMainSkin")->render(&drawn, QPoint(), QRegion(), QWidget::RenderFlags());
        drawn.setDevicePixelRatio(1);
        EXPECT_TRUE(drawn == expected);
    }
}

TEST_F(MainFormLoad, TabsThroughTheControlsInOrderFromTheSubject)
{
    const QStringList expected {"tbSubject",  "cmdSubPaste", "tbInput",         "cmdScore", "chkStep",
                                "cmdSubCopy", "cmdSubClear", "cmdPaste",        "cmdCopy",  "cmdClear",
                                "tbPhrases",  "picMainSkin", "tbSearchNorvane", "cmdGo"};
    QStringList order;
    QWidget* widget = control("tbSubject");
    do {
        if (expected.contains(widget->objectName()))
            order.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget != control("tbSubject"));
    EXPECT_EQ(order, expected);
    EXPECT_EQ(m_form->focusWidget(), control("tbSubject"));
}

TEST_F(MainFormLoad, LinkLabelsShowTheHandOverTheirWholeRectangle)
{
    for (const char* name : {"lblNorvane", "lbProvidedby", "lblTitle", "lblAbout", "lblExit"}) {
        SCOPED_TRACE(name);
        QWidget* link = control(name);
        EXPECT_TRUE(link->testAttribute(Qt::WA_SetCursor));
        EXPECT_EQ(link->cursor().shape(), Qt::BitmapCursor);
        EXPECT_EQ(link->cursor().pixmap().size(), QSize(48, 48));
        const QRect area = link->geometry();
        EXPECT_EQ(control("picMainSkin")->childAt(area.center()), link);
        EXPECT_EQ(control("picMainSkin")->childAt(area.bottomRight()), link);
    }
    EXPECT_EQ(control("Label1")->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MainFormLoad, FontsAreInstalledAndNoCaptionIsClipped)
{
    EXPECT_EQ(QFontInfo(legacyFont(QStringLiteral("MS Sans Serif"), 8.25)).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(legacyFont(QStringLiteral("Arial"), 9, true)).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(legacyFont(QStringLiteral("Verdana"), 8)).family(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(legacyFont(QStringLiteral("MS Sans Serif"), 8.25).pixelSize(), 11);

    for (auto* label : control("picMainSkin")->findChildren<QLabel*>()) {
        SCOPED_TRACE(label->objectName().toStdString());
        const QFontMetrics metrics(label->font());
        // Trailing spaces may run past the edge unseen; a mnemonic's ampersand is not drawn.
        const QString shown = label->buddy() ? QString(label->text()).remove(u'&') : label->text();
        EXPECT_LE(metrics.horizontalAdvance(shown.trimmed()), label->width());
        if (!label->text().isEmpty()) {
            EXPECT_LE(metrics.height(), label->height());
        }
    }
    for (auto* button : control("picMainSkin")->findChildren<QAbstractButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_LE(QFontMetrics(button->font()).horizontalAdvance(button->text()) + 4, button->width());
    }
    auto* step = control<QCheckBox>("chkStep");
    QStyleOptionButton option;
    option.initFrom(step);
    const QRect textArea = step->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, step);
    EXPECT_LE(QFontMetrics(step->font()).horizontalAdvance(step->text()), textArea.width());
    // The longest caption the status line shows.
    auto* status = control<QLabel>("lblStatus");
    EXPECT_LE(QFontMetrics(status->font()).horizontalAdvance(QStringLiteral("Enter your email content below")),
              status->width());
}

TEST_F(MainFormLoad, PressOnTheBareSkinMovesTheWindowAndPressOnALabelDoesNot)
{
    QWidget* skin = control("picMainSkin");
    const auto press = [skin](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent event(type, QPointF(at), QPointF(skin->mapToGlobal(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(skin, &event);
    };
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        SCOPED_TRACE(int(button));
        const QPoint start = m_form->pos();
        const QPoint bare(400, 60);
        ASSERT_EQ(skin->childAt(bare), nullptr);
        // A click, even one that wobbles by less than the drag distance, leaves the window where it is.
        const QPoint wobble(QApplication::startDragDistance() - 1, 0);
        press(QEvent::MouseButtonPress, bare, button, button);
        press(QEvent::MouseButtonRelease, bare, button, Qt::NoButton);
        press(QEvent::MouseButtonPress, bare, button, button);
        press(QEvent::MouseMove, bare + wobble, Qt::NoButton, button);
        press(QEvent::MouseButtonRelease, bare + wobble, button, Qt::NoButton);
        press(QEvent::MouseMove, bare + QPoint(30, 20), Qt::NoButton, Qt::NoButton);
        EXPECT_EQ(m_form->pos(), start);

        press(QEvent::MouseButtonPress, bare, button, button);
        press(QEvent::MouseMove, bare + QPoint(30, 20), Qt::NoButton, button);
        press(QEvent::MouseButtonRelease, bare + QPoint(30, 20), button, Qt::NoButton);
        EXPECT_EQ(m_form->pos(), start + QPoint(30, 20));
        press(QEvent::MouseMove, bare + QPoint(60, 40), Qt::NoButton, Qt::NoButton);
        EXPECT_EQ(m_form->pos(), start + QPoint(30, 20)) << "the release ends the move";

        // A move of exactly the drag distance is a drag.
        const QPoint least(0, QApplication::startDragDistance());
        press(QEvent::MouseButtonPress, bare, button, button);
        press(QEvent::MouseMove, bare + least, Qt::NoButton, button);
        press(QEvent::MouseButtonRelease, bare + least, button, Qt::NoButton);
        EXPECT_EQ(m_form->pos(), start + QPoint(30, 20) + least);
    }

    const QPoint start = m_form->pos();
    QTest::mousePress(control("Label1"), Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(210, 320), QPointF(skin->mapToGlobal(QPoint(210, 320))), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(skin, &move);
    QTest::mouseRelease(control("Label1"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(m_form->pos(), start);
}

TEST_F(MainFormLoad, EnterOrSpacePressesTheFocusedButton)
{
    for (auto* button : control("picMainSkin")->findChildren<QPushButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        // The scan button with empty panes only prompts, and "Go!" has no search attached here.
        QSignalSpy pressed(button, &QPushButton::clicked);
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
        QTest::keyClick(button, Qt::Key_Space);
        EXPECT_EQ(pressed.count(), 3);
    }
}

TEST_F(MainFormLoad, TheListAndTheSkinShowWhenTheyHaveTheFocus)
{
    QApplication::setActiveWindow(m_form.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_form.get()));
    const struct
    {
        const char* name;
        QRect shows; // where the focus shows, in the window
    } stops[] = {
        {"tbPhrases", control("tbPhrases")->geometry()},
        {"picMainSkin", QRect(26, 94, 4, 378)}, // the left edge of the white panel
    };
    for (const auto& stop : stops) {
        SCOPED_TRACE(stop.name);
        control("cmdScore")->setFocus();
        const QImage unfocused = m_form->grab(stop.shows).toImage();
        control(stop.name)->setFocus();
        ASSERT_TRUE(control(stop.name)->hasFocus());
        EXPECT_NE(m_form->grab(stop.shows).toImage(), unfocused);
    }
}

TEST_F(MainFormLoad, StepThroughStandsOnTheTextBoxColour)
{
    // A desktop whose window, button and text box colours all differ.
    const QPalette desktop = QApplication::palette();
    QPalette distinct = desktop;
    distinct.setColor(QPalette::Window, QColor(200, 200, 200));
    distinct.setColor(QPalette::Button, QColor(180, 180, 180));
    distinct.setColor(QPalette::Base, QColor(250, 250, 240));
    QApplication::setPalette(distinct);
    openWindow(Definitions);
    QApplication::setPalette(desktop);

    auto* step = control<QCheckBox>("chkStep");
    const QImage drawn = step->grab().toImage();
    EXPECT_EQ(drawn.pixelColor(drawn.width() - 1, drawn.height() - 1), QColor(250, 250, 240));
    EXPECT_EQ(textColour(step), Styled);
}

TEST_F(MainFormLoad, PanesKeepTheirSelectionVisibleWithoutTheFocus)
{
    // A desktop whose unfocused selections are drawn in another colour, or not at all.
    const QPalette desktop = QApplication::palette();
    QPalette faded = desktop;
    faded.setColor(QPalette::Inactive, QPalette::Highlight, faded.color(QPalette::Inactive, QPalette::Base));
    faded.setColor(QPalette::Inactive, QPalette::HighlightedText, faded.color(QPalette::Inactive, QPalette::Text));
    QApplication::setPalette(faded);
    openWindow(Definitions);
    QApplication::setPalette(desktop);

    for (const char* name : {"tbSubject", "tbInput", "tbPhrases"}) {
        SCOPED_TRACE(name);
        const QPalette palette = control(name)->palette();
        for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
            EXPECT_EQ(palette.color(QPalette::Inactive, role), palette.color(QPalette::Active, role));
    }
    EXPECT_EQ(control<QLineEdit>("tbSubject")->maxLength(), 120);
    EXPECT_EQ(control<QPlainTextEdit>("tbInput")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(control<QPlainTextEdit>("tbPhrases")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

TEST_F(MainFormLoad, AssistiveToolsNameEveryBoxAndClickAreaAndReadTheValues)
{
    control<QLineEdit>("tbSubject")->setText(QStringLiteral("Free offer"));
    QTest::mouseClick(control("cmdScore"), Qt::LeftButton);

    QMap<QString, QString> seen;
    const std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
        if (node == nullptr)
            return;
        if (QObject* object = node->object(); object != nullptr && !object->objectName().isEmpty())
            seen.insert(object->objectName(),
                        node->text(QAccessible::Name) + u'|' + node->text(QAccessible::Description));
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(m_form.get()));

    const QMap<QString, QString> expected {
        {"tbSubject", "Subject|"},
        {"tbInput", "Message Body|"},
        {"tbPhrases", "Trigger Phrases|"},
        {"tbSearchNorvane", "Search|"},
        // A link's description is its tooltip, which names its key.
        {"lblAbout", "About|About (F1)\nOpen a message file (Ctrl+O)"},
        {"lblExit", "Close|Close (Ctrl+Q)"},
        {"lblTitle", "Fenwick Lark Software web site|Open the maker's web site (Ctrl+M)"},
        {"lblScore", "1.0|Overall score"},
        {"lblPercent", "12.00%|Overall percentage"},
        {"lblPassFail", "Fail|Verdict"},
        {"lblStatus", "Finished Scanning|Status"},
        {"cmdScore", "Scan|"},
    };
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        SCOPED_TRACE(it.key().toStdString());
        EXPECT_EQ(seen.value(it.key()), it.value());
    }
}

TEST(MainFormFault, WindowStillLoadsThenWarnsWithTheFileLineAndPhrasesLoaded)
{
    struct Case
    {
        const char* name;
        QByteArray contents;
        bool writeFile;
        QStringList shown;
    };
    const Case cases[] = {
        {"missing file",
         {},
         false,
         {"No trigger phrases could be read.", "Definitions.dat", "0 trigger phrases were loaded"}},
        {"bad weight",
         "H\t1\r\nfree\t1\r\nact now\tlots\r\nmore\t2\r\n",
         true,
         {"Not all trigger phrases could be read.", "line 3", "2 trigger phrases were loaded"}},
        {"fault on the first phrase",
         "H\t1\r\nfree\tx\r\n",
         true,
         {"Not all trigger phrases could be read.", "line 2", "1 trigger phrase was loaded"}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        MessageBoxRecorder messages;
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("Definitions.dat"));
        if (test.writeFile) {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(test.contents);
        }
        MainForm form(path, QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_EQ(form.size(), QSize(559, 496));
        EXPECT_FALSE(form.mask().isEmpty());
        // The labels were styled before the file was read.
        EXPECT_EQ(form.findChild<QLabel*>("lblStatus")->text(), QStringLiteral("Enter your email content below"));
        EXPECT_EQ(form.findChild<QLabel*>("lblTitle")->text(), QString());
        EXPECT_TRUE(messages.requests().isEmpty()) << "the warning waits until the window can be seen";
        QCoreApplication::processEvents();
        ASSERT_EQ(messages.requests().size(), 1);
        const MessageBoxRequest& warning = messages.requests().constFirst();
        EXPECT_EQ(warning.icon, MessageIcon::Warning);
        EXPECT_EQ(warning.title, QStringLiteral("Tallyvex"));
        EXPECT_TRUE(warning.text.contains(path)) << warning.text.toStdString();
        for (const QString& part : test.shown)
            EXPECT_TRUE(warning.text.contains(part)) << warning.text.toStdString();
    }
}
