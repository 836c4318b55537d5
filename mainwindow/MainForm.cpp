#include "mainwindow/MainForm.h"

#include "forms/ElidedLabel.h"
#include "forms/FormStyle.h"
#include "forms/LegacyFonts.h"
#include "forms/LinkLabel.h"
#include "forms/Twips.h"
#include "mainwindow/BodyTextBox.h"
#include "mainwindow/MainFormLayout.h"
#include "mainwindow/PhraseHighlighter.h"
#include "mainwindow/ResultCaptions.h"
#include "mainwindow/SkinControls.h"
#include "mainwindow/SkinPicture.h"
#include "mainwindow/SkinRegion.h"
#include "mainwindow/SubjectTextBox.h"
#include "messagefile/MessageFile.h"
#include "platform/AppIdentity.h"
#include "platform/MessageBoxes.h"
#include "scanner/DefinitionsLoader.h"
#include "scanner/ScanText.h"
#include "scanner/WordingCase.h"
#include "textio/InputFile.h"
#include "textio/TextDecoding.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>
#include <QUrl>

#include <memory>
#include <ranges>
#include <utility>

using FormStyle::setForeground;
using namespace SkinControls;

namespace {

const QColor StyledText(128, 128, 255);
const QColor LinkBlue(0, 0, 255);
const QColor GaugeGreen(0, 192, 0);
const QColor GaugeYellow(255, 255, 0);
const QColor GaugeRed(255, 0, 0);

const QString SkinPath = QStringLiteral(":/skin.bmp");
const QString SharpSkinPath = QStringLiteral(":/skin@2x.png");

QString phraseCount(const PhraseTable& table, const QLocale& locale)
{
    const qsizetype count = table.hasPhrases() ? table.size() : 0;
    return count == 1 ? QStringLiteral("1 trigger phrase was loaded and is used.")
                      : QStringLiteral("%1 trigger phrases were loaded and are used.").arg(locale.toString(count));
}

// Closes the step of the line edit's undo history that the last edit belongs to. The box joins an edit to
// the step before it unless the caret moved in between or the box was cleared, as its own Paste does; on an
// empty box clearing changes nothing but the history.
void endUndoStep(QLineEdit* box)
{
    if (box->text().isEmpty()) {
        box->clear();
        return;
    }
    const int caret = box->cursorPosition();
    box->setCursorPosition(caret == 0 ? 1 : 0);
    box->setCursorPosition(caret);
}

// The one local file of a drag, when it is a message file (a saved e-mail, an HTML page or a text file);
// empty for anything else.
QString droppedMessageFile(const QMimeData* data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile())
        return {};
    const QString path = urls.constFirst().toLocalFile();
    return messageFormatOf(path) ? path : QString();
}

} // namespace

MainForm::MainForm(const QString& definitionsPath, const QLocale& locale, QWidget* parent)
    : QWidget(parent)
    , m_definitionsPath(definitionsPath)
    , m_locale(locale)
    , m_numbers(locale)
    , m_session(locale)
{
    setObjectName(QStringLiteral("MainForm"));
    setWindowTitle(QString::fromUtf8(AppIdentity::Title));
    resize(Twips::toPixels(8925), Twips::toPixels(7695));
    setFont(legacyFont(QStringLiteral("MS Sans Serif"), 8.25));

    createControls();
    stackControls();
    orderTabStops();
    describeForAssistiveTools();
    acceptMessageDrops();
    setUpHighlighting();
    load();
}

MainForm::~MainForm() = default;

void MainForm::createControls()
{
    using MainFormLayout::placement;
    const QFont boldFont = legacyFont(QStringLiteral("MS Sans Serif"), 8.25, true);
    const QColor white(Qt::white);

    m_skin = place<SkinPicture>(this, placement("picMainSkin"));
    m_skin->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_skin->setFocusPolicy(Qt::StrongFocus);
    m_skin->setFocusFrame(MainFormLayout::SkinPanel.adjusted(1, 1, -2, -2));
    QWidget* skin = m_skin;

    m_searchButton = placeButton(skin, placement("cmdGo"), QStringLiteral("Go!"));
    m_searchBox = placeTextBox<QLineEdit>(skin, placement("tbSearchNorvane"));
    m_bodyBox = placeMultiLine<BodyTextBox>(skin, placement("tbInput"));
    m_bodyPasteButton = placeButton(skin, placement("cmdPaste"), QStringLiteral("Paste"));
    m_bodyCopyButton = placeButton(skin, placement("cmdCopy"), QStringLiteral("Copy"));
    m_scanButton = placeButton(skin, placement("cmdScore"), ResultCaptions::ScanButton);
    m_phraseListBox = placeMultiLine<QPlainTextEdit>(skin, placement("tbPhrases"));
    // The list shows what the scan found; the scan keeps its own copy, so typing into it would mislead.
    m_phraseListBox->setReadOnly(true);
    // Its caret shows where the focus is, and the list can be read and selected from the keyboard.
    m_phraseListBox->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // A long phrase stays on its line, which scrolls sideways, so that each line is one phrase.
    m_phraseListBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_stepThroughBox = place<QCheckBox>(skin, placement("chkStep"));
    m_stepThroughBox->setText(QStringLiteral("Step Through"));
    setForeground(m_stepThroughBox, QApplication::palette().color(QPalette::Text));
    m_subjectBox = placeTextBox<SubjectTextBox>(skin, placement("tbSubject"));
    m_subjectBox->setMaxLength(int(ScanText::SubjectWidth));
    m_subjectCopyButton = placeButton(skin, placement("cmdSubCopy"), QStringLiteral("Copy"));
    m_subjectPasteButton = placeButton(skin, placement("cmdSubPaste"), QStringLiteral("Paste"));
    m_subjectClearButton = placeButton(skin, placement("cmdSubClear"), QStringLiteral("Clear"));
    m_bodyClearButton = placeButton(skin, placement("cmdClear"), QStringLiteral("Clear"));

    placeLabel(skin, placement("Label7"),
               QStringLiteral("Make your web site profitable by selling software branded with your web site name!  "));
    placeLine(skin, placement("Line3"));
    placeLine(skin, placement("Line2"));
    LinkLabel* searchSite = placeLink(skin, placement("lblNorvane"), QStringLiteral("Norvane:"), LinkBlue,
                                      legacyFont(QStringLiteral("MS Sans Serif"), 8.25, true, true));
    // Alt+S goes to the search box.
    placeLabel(skin, placement("Label6"), QStringLiteral("&Search"), Qt::AlignRight)->setBuddy(m_searchBox);
    m_makerLink = placeLink(skin, placement("lblTitle"), QStringLiteral("About"), white, boldFont, Qt::AlignHCenter);
    m_verdictLabel = placeElidedLabel(skin, placement("lblPassFail"), QStringLiteral("Pass/Fail"), Qt::AlignHCenter);
    setForeground(m_verdictLabel, StyledText);
    m_verdictLabel->setFont(boldFont);
    m_greenBar = placeBar(skin, placement("lblBar1"), GaugeGreen);
    m_yellowBar = placeBar(skin, placement("lblBar2"), GaugeYellow);
    m_redBar = placeBar(skin, placement("lblBar3"), GaugeRed);
    m_statusLabel = placeLabel(skin, placement("lblStatus"), QStringLiteral("Status"), Qt::AlignHCenter);
    setForeground(m_statusLabel, StyledText);
    m_statusLabel->setFont(legacyFont(QStringLiteral("Arial"), 9.75, true));
    m_aboutLink = placeLink(skin, placement("lblAbout"), QStringLiteral("About"), white, boldFont, Qt::AlignHCenter);
    m_exitLink = placeLink(skin, placement("lblExit"), QStringLiteral("X"), white, boldFont, Qt::AlignHCenter);

    const QColor windowText = QApplication::palette().color(QPalette::Text);
    m_scoreHeading = placeLabel(skin, placement("Label1"), QStringLiteral("Overall Score:"));
    m_scoreLabel = placeLabel(skin, placement("lblScore"), QStringLiteral("0"), Qt::AlignRight);
    m_percentHeading = placeLabel(skin, placement("Label2"), QStringLiteral("Overall Percentage:"));
    m_percentLabel = placeLabel(skin, placement("lblPercent"), CaptionNumbers::NoPercentage, Qt::AlignRight);
    m_subjectHeading = placeLabel(skin, placement("Label3"), QStringLiteral("Subject"));
    m_bodyHeading = placeLabel(skin, placement("Label4"), QStringLiteral("Message Body"));
    m_phraseListHeading = placeLabel(skin, placement("Label5"), QStringLiteral("Trigger Phrases:"));
    for (QLabel* label : {m_scoreHeading, m_scoreLabel, m_percentHeading, m_percentLabel, m_subjectHeading,
                          m_bodyHeading, m_phraseListHeading})
        setForeground(label, windowText);
    LinkLabel* provider = placeLink(skin, placement("lbProvidedby"), QStringLiteral("Kestrel Hosting"), LinkBlue,
                                    legacyFont(QStringLiteral("Arial"), 9, true, true));
    placeLabel(skin, placement("lblTotalCount"), QStringLiteral(" "), Qt::AlignHCenter);
    placeLabel(skin, placement("lbURLsToGo"), QStringLiteral(" "), Qt::AlignHCenter);
    connectLinks(searchSite, provider);

    connect(m_scanButton, &QPushButton::clicked, this, &MainForm::runScan);
    connect(m_stepThroughBox, &QCheckBox::clicked, this, &MainForm::stepThroughClicked);
    connect(m_bodyBox->document(), &QTextDocument::contentsChanged, this, [this] { m_bodyChanged = true; });
    connect(m_subjectPasteButton, &QPushButton::clicked, this, [this] { paste(Pane::Subject); });
    connect(m_subjectCopyButton, &QPushButton::clicked, this, [this] { copy(Pane::Subject); });
    connect(m_subjectClearButton, &QPushButton::clicked, this, [this] { clear(Pane::Subject); });
    connect(m_bodyPasteButton, &QPushButton::clicked, this, [this] { paste(Pane::Body); });
    connect(m_bodyCopyButton, &QPushButton::clicked, this, [this] { copy(Pane::Body); });
    connect(m_bodyClearButton, &QPushButton::clicked, this, [this] { clear(Pane::Body); });
    m_subjectBox->installEventFilter(this);
    m_bodyBox->installEventFilter(this);
    connect(m_bodyBox, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (!m_placingBodyCaret)
            m_typingCaret.reset();
    });
}

// Each link label and its key announce what the user asked for; X closes the window. Enter in the search box
// searches as "Go!" does, and the box still gets the key.
void MainForm::connectLinks(LinkLabel* searchSite, LinkLabel* provider)
{
    searchSite->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), QStringLiteral("Open the search site's home page"));
    provider->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), QStringLiteral("Open the provider's web site"));
    m_makerLink->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M), QStringLiteral("Open the maker's web site"));
    m_aboutLink->setShortcut(QKeySequence(Qt::Key_F1), QStringLiteral("About"));
    m_exitLink->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), QStringLiteral("Close"));
    // Ctrl+O has no link of its own; the About label, where the keys are looked up, names it too.
    const QKeySequence open(Qt::CTRL | Qt::Key_O);
    connect(new QShortcut(open, this), &QShortcut::activated, this, &MainForm::openRequested);
    m_aboutLink->setToolTip(
        m_aboutLink->toolTip()
        + QStringLiteral("\nOpen a message file (%1)").arg(open.toString(QKeySequence::NativeText)));

    connect(searchSite, &LinkLabel::clicked, this, [this] { emit linkActivated(Link::SearchSite); });
    connect(provider, &LinkLabel::clicked, this, [this] { emit linkActivated(Link::Provider); });
    connect(m_makerLink, &LinkLabel::clicked, this, [this] { emit linkActivated(Link::Maker); });
    connect(m_aboutLink, &LinkLabel::clicked, this, &MainForm::aboutRequested);
    connect(m_exitLink, &LinkLabel::clicked, this, &QWidget::close);
    // Without words there is nothing to search for.
    const auto search = [this] {
        if (!m_searchBox->text().trimmed().isEmpty())
            emit searchRequested(m_searchBox->text());
    };
    connect(m_searchButton, &QPushButton::clicked, this, search);
    connect(m_searchBox, &QLineEdit::returnPressed, this, search);
}

// Controls that take the focus lie over labels and lines; otherwise the layout's rows give the order.
void MainForm::stackControls()
{
    const auto rows = MainFormLayout::controls() | std::views::drop(1) | std::views::reverse;
    for (bool focusable : {false, true}) {
        for (const MainFormLayout::Placement& row : rows) {
            auto* control = m_skin->findChild<QWidget*>(nameOf(row), Qt::FindDirectChildrenOnly);
            if ((control->focusPolicy() != Qt::NoFocus) == focusable)
                control->raise();
        }
    }
}

void MainForm::orderTabStops()
{
    const QList<QWidget*> order {m_subjectBox,         m_subjectPasteButton, m_bodyBox,
                                 m_scanButton,         m_stepThroughBox,     m_subjectCopyButton,
                                 m_subjectClearButton, m_bodyPasteButton,    m_bodyCopyButton,
                                 m_bodyClearButton,    m_phraseListBox,      m_skin,
                                 m_searchBox,          m_searchButton};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    m_subjectBox->setFocus();
}

// Boxes and invisible click areas get names; captions that show values keep their text as what is read
// and say in their description what the value is.
void MainForm::describeForAssistiveTools()
{
    m_subjectBox->setAccessibleName(QStringLiteral("Subject"));
    m_bodyBox->setAccessibleName(QStringLiteral("Message Body"));
    m_phraseListBox->setAccessibleName(QStringLiteral("Trigger Phrases"));
    m_searchBox->setAccessibleName(QStringLiteral("Search"));
    m_aboutLink->setAccessibleName(QStringLiteral("About"));
    m_exitLink->setAccessibleName(QStringLiteral("Close"));
    m_makerLink->setAccessibleName(QStringLiteral("%1 web site").arg(QString::fromUtf8(AppIdentity::CompanyName)));
    m_scoreLabel->setAccessibleDescription(QStringLiteral("Overall score"));
    m_percentLabel->setAccessibleDescription(QStringLiteral("Overall percentage"));
    m_verdictLabel->setAccessibleDescription(QStringLiteral("Verdict"));
    m_statusLabel->setAccessibleDescription(QStringLiteral("Status"));
}

void MainForm::load()
{
    const QString warning = loadDefinitions();
    m_makerLink->setText(QString());
    setUpSkin();
    // The window finishes loading whatever the definitions held; the warning follows once it can be seen.
    if (!warning.isEmpty())
        QTimer::singleShot(0, this, [this, warning] {
            MessageBoxes::show(this, {MessageIcon::Warning, QString::fromUtf8(AppIdentity::Title), warning});
        });
}

QString MainForm::loadDefinitions()
{
    m_session.resetDefinitions();
    styleLabels();
    LoadedDefinitions loaded
        = ::loadDefinitions(m_definitionsPath.isEmpty() ? std::nullopt : std::optional(m_definitionsPath),
                            QCoreApplication::applicationDirPath(), m_locale);
    m_definitionsPath = loaded.path;
    const auto index = std::make_shared<const PhraseIndex>(std::move(loaded.table));
    m_session.setDefinitions(index);
    m_highlighter->setPhrases(index);
    QStringList warnings;
    if (loaded.fault)
        warnings << describeDefinitionsFault(*loaded.fault);
    if (loaded.alternativesFault)
        warnings << QStringLiteral("Not all plainer wordings could be read.\n\n%1")
                        .arg(TextDecoding::withVisibleControls(
                            loaded.alternativesFault->describe(loaded.alternativesPath)));
    return warnings.join(QStringLiteral("\n\n"));
}

void MainForm::styleLabels()
{
    m_exitLink->setText(QString());
    m_aboutLink->setText(QString());
    m_statusLabel->setText(ResultCaptions::StatusReady);
    m_yellowBar->move(m_greenBar->x(), m_yellowBar->y());
    m_redBar->move(m_greenBar->x(), m_redBar->y());
    m_yellowBar->move(m_yellowBar->x(), m_greenBar->y());
    m_redBar->move(m_redBar->x(), m_greenBar->y());
    const int startUpWidth = Twips::toPixels(MainFormLayout::StartUpBarWidth);
    for (QLabel* bar : {m_greenBar, m_yellowBar, m_redBar})
        bar->resize(startUpWidth, bar->height());
    setForeground(m_makerLink, StyledText);
    setOpaqueBackground(m_stepThroughBox, QApplication::palette().color(QPalette::Base));
    setForeground(m_stepThroughBox, StyledText);
    for (QLabel* label : {m_scoreHeading, m_percentHeading, m_subjectHeading, m_bodyHeading, m_phraseListHeading,
                          m_scoreLabel, m_percentLabel, m_verdictLabel})
        setForeground(label, StyledText);
    m_verdictLabel->setText(QString());
}

void MainForm::setUpSkin()
{
    m_skin->move(0, 0);
    m_skin->setFrameStyle(QFrame::NoFrame);
    m_skin->setPicture(QImage(SkinPath), QImage(SharpSkinPath));
    setWindowFlag(Qt::FramelessWindowHint);
    setFixedSize(m_skin->size());
    setMask(buildSkinRegion(m_skin->picture()));
    FormStyle::centreOnScreen(this);
}

QString MainForm::describeDefinitionsFault(const DefinitionsFault& fault) const
{
    const QString reason = fault.describe(m_definitionsPath);
    const QString opening = m_session.table().hasPhrases() ? QStringLiteral("Not all trigger phrases could be read.")
                                                           : QStringLiteral("No trigger phrases could be read.");
    return QStringLiteral("%1\n\n%2\n\n%3")
        .arg(opening, TextDecoding::withVisibleControls(reason), phraseCount(m_session.table(), m_locale));
}

PressOutcome MainForm::runScan()
{
    const PressOutcome outcome = m_session.press(m_subjectBox->text(), bodyText(), m_stepThroughBox->isChecked());
    if (outcome.kind == PressOutcome::Kind::EmptyInput) {
        const QString title = QString::fromUtf8(AppIdentity::Title);
        MessageBoxes::show(this, {MessageIcon::None, title, emptyInputMessage(title)});
        return outcome;
    }
    placeBodyCaret(QTextCursor(m_bodyBox->document()));
    m_subjectBox->setCursorPosition(0);
    if (outcome.kind == PressOutcome::Kind::Stopped)
        selectOccurrence(*m_session.outcome().lastOccurrence);
    showResults();
    return outcome;
}

const QString& MainForm::bodyText()
{
    if (m_bodyChanged) {
        m_bodyText = m_bodyBox->text();
        m_bodyChanged = false;
    }
    return m_bodyText;
}

void MainForm::stepThroughClicked(bool checked)
{
    if (!checked)
        return;
    m_session.resetResults();
    placeBodyCaret(QTextCursor(m_bodyBox->document()));
    showResults();
}

// The scan moves the body's caret to show where it stands; the caret the user was typing at is kept aside
// until the user moves the caret again.
void MainForm::placeBodyCaret(const QTextCursor& caret)
{
    if (!m_typingCaret)
        m_typingCaret = m_bodyBox->textCursor();
    m_placingBodyCaret = true;
    m_bodyBox->setTextCursor(caret);
    m_placingBodyCaret = false;
}

void MainForm::selectOccurrence(const Occurrence& occurrence)
{
    const qsizetype start = occurrence.start;
    const qsizetype length = occurrence.length;
    if (occurrence.pane == Pane::Subject) {
        m_subjectBox->setSelection(int(start), int(length));
        return;
    }
    QTextCursor cursor(m_bodyBox->document());
    cursor.setPosition(m_bodyBox->positionOf(start));
    cursor.setPosition(m_bodyBox->positionOf(start + length), QTextCursor::KeepAnchor);
    placeBodyCaret(cursor);
}

void MainForm::showResults()
{
    const ScanOutcome& outcome = m_session.outcome();
    const ResultCaptions captions = ResultCaptions::of(outcome, m_numbers);
    m_scoreLabel->setText(captions.score);
    m_percentLabel->setText(captions.percent);
    m_verdictLabel->setText(captions.verdict);
    m_statusLabel->setText(captions.status);
    m_scanButton->setText(captions.scanButton);
    if (m_phraseListBox->toPlainText() != captions.phrases)
        m_phraseListBox->setPlainText(captions.phrases);
    // The bars keep their start-up sliver until the gauge is first sized.
    if (const std::optional<GaugeWidths>& gauge = outcome.gauge) {
        m_greenBar->resize(gauge->green, m_greenBar->height());
        m_yellowBar->resize(gauge->yellow, m_yellowBar->height());
        m_redBar->resize(gauge->red, m_redBar->height());
    }
}

QString MainForm::paneText(Pane pane) const
{
    return pane == Pane::Subject ? m_subjectBox->text() : m_bodyBox->text();
}

// The whole text is replaced as one step, which Undo in the pane takes back on its own.
void MainForm::replacePaneText(Pane pane, const QString& text)
{
    if (pane == Pane::Subject) {
        endUndoStep(m_subjectBox);
        m_subjectBox->selectAll();
        m_subjectBox->insert(text);
        endUndoStep(m_subjectBox);
        return;
    }
    m_bodyBox->replaceText(text);
}

// The whole text of the pane replaces the clipboard's; the pane's selection plays no part.
void MainForm::copy(Pane pane) const
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    const QString text = paneText(pane);
    if (!text.isEmpty())
        clipboard->setText(text);
}

// The clipboard's plain text replaces the whole pane; a clipboard without text empties it.
void MainForm::paste(Pane pane)
{
    replacePaneText(pane, QGuiApplication::clipboard()->text());
}

// Empties the pane and the results, but leaves the status, Step Through and a paused walk as they are.
void MainForm::clear(Pane pane)
{
    replacePaneText(pane, QString());
    m_session.clearResults();
    showResults();
}

void MainForm::acceptMessageDrops()
{
    // The text boxes take no drops of their own, so a message dropped on any of them reaches the window.
    setAcceptDrops(true);
    for (QWidget* box : findChildren<QLineEdit*>())
        box->setAcceptDrops(false);
    for (QWidget* box : findChildren<QPlainTextEdit*>())
        box->setAcceptDrops(false);
}

void MainForm::setUpHighlighting()
{
    m_highlighter = new PhraseHighlighter(
        m_subjectBox, m_bodyBox, [this]() -> const QString& { return bodyText(); }, m_locale, this);
    connect(m_subjectBox, &QLineEdit::textChanged, m_highlighter, &PhraseHighlighter::textChanged);
    connect(m_bodyBox->document(), &QTextDocument::contentsChanged, m_highlighter, &PhraseHighlighter::textChanged);
    m_highlightAction = new QAction(QStringLiteral("Highlight trigger phrases"), this);
    m_highlightAction->setObjectName(QStringLiteral("actHighlight"));
    m_highlightAction->setCheckable(true);
    m_highlightAction->setChecked(true);
    connect(m_highlightAction, &QAction::toggled, m_highlighter, &PhraseHighlighter::setEnabled);
    for (const Pane pane : {Pane::Subject, Pane::Body}) {
        QWidget* box = paneBox(pane);
        box->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(box, &QWidget::customContextMenuRequested, this,
                [this, pane](const QPoint& position) { showBoxMenu(pane, position); });
    }
    m_bodyBox->viewport()->installEventFilter(this);
    m_phraseListBox->viewport()->installEventFilter(this);
}

bool MainForm::isHighlighting() const
{
    return m_highlightAction->isChecked();
}

void MainForm::setHighlighting(bool on)
{
    m_highlightAction->setChecked(on);
}

QWidget* MainForm::paneBox(Pane pane) const
{
    return pane == Pane::Subject ? static_cast<QWidget*>(m_subjectBox) : static_cast<QWidget*>(m_bodyBox);
}

// The box's own menu, with the plainer wordings of a marked phrase at `position` (or, asked from the keyboard,
// at the caret) above it and the switch for the marks below it. The body box reports places in its viewport.
void MainForm::showBoxMenu(Pane pane, std::optional<QPoint> position)
{
    std::unique_ptr<QMenu> menu;
    QPoint global;
    qsizetype caret = 0;
    if (pane == Pane::Body) {
        const QPoint place = position.value_or(m_bodyBox->cursorRect().bottomLeft());
        menu.reset(m_bodyBox->createStandardContextMenu(place));
        global = m_bodyBox->viewport()->mapToGlobal(place);
        caret = m_bodyBox->offsetOf(m_bodyBox->textCursor().position());
    } else {
        const QRect caretRect = m_subjectBox->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        menu.reset(m_subjectBox->createStandardContextMenu());
        global = m_subjectBox->mapToGlobal(position.value_or(caretRect.bottomLeft()));
        caret = m_subjectBox->cursorPosition();
    }
    // At the caret, the phrase may end where the caret stands.
    const std::optional<Occurrence> occurrence
        = replaceableAt(pane, position ? offsetsUnder(pane, *position) : QList {caret, caret - 1});
    if (occurrence)
        offerWordings(*menu, *occurrence);
    menu->addSeparator();
    menu->addAction(m_highlightAction);
    menu->exec(global);
}

std::optional<Occurrence> MainForm::replaceableAt(Pane pane, const QList<qsizetype>& offsets)
{
    for (const qsizetype offset : offsets) {
        if (std::optional<Occurrence> occurrence = m_highlighter->replaceableAt(pane, offset))
            return occurrence;
    }
    return std::nullopt;
}

// "Replace with" and the wordings above the box's own commands; "Remove" for the wording that takes the
// phrase out.
void MainForm::offerWordings(QMenu& menu, const Occurrence& occurrence)
{
    QAction* first = menu.actions().value(0);
    const QStringList wordings
        = WordingCase::forOccurrence(m_session.table(), occurrence, m_subjectBox->text(), bodyText());
    if (wordings.size() > wordings.count(QString())) {
        auto* heading = new QAction(QStringLiteral("Replace with"), &menu);
        heading->setEnabled(false);
        menu.insertAction(first, heading);
    }
    for (const QString& wording : wordings) {
        QString caption = wording.isEmpty() ? QStringLiteral("Remove") : wording;
        auto* action = new QAction(caption.replace(u'&', QStringLiteral("&&")), &menu);
        action->setObjectName(QStringLiteral("actReplacement"));
        // The subject box would cut a wording that takes it past its limit; such a wording is shown, not offered.
        if (occurrence.pane == Pane::Subject)
            action->setEnabled(m_subjectBox->text().size() - occurrence.length + wording.size()
                               <= m_subjectBox->maxLength());
        connect(action, &QAction::triggered, this,
                [this, occurrence, wording] { replaceOccurrence(occurrence, wording); });
        menu.insertAction(first, action);
    }
    menu.insertSeparator(first);
}

// One step that Undo in the box takes back; the marks follow the new text as after any edit.
void MainForm::replaceOccurrence(const Occurrence& occurrence, const QString& wording)
{
    if (occurrence.pane == Pane::Body) {
        m_bodyBox->replaceRange(occurrence.start, occurrence.length, wording);
        return;
    }
    endUndoStep(m_subjectBox);
    m_subjectBox->setSelection(int(occurrence.start), int(occurrence.length));
    m_subjectBox->insert(wording);
    endUndoStep(m_subjectBox);
}

// The offsets of a box's text most likely meant by a place in the box. In the body the character under the
// mouse is found from the caret place nearest to it; the subject box tells only that place, so the character
// after it comes first, then the one before.
QList<qsizetype> MainForm::offsetsUnder(Pane pane, const QPoint& position) const
{
    if (pane == Pane::Subject) {
        const int offset = m_subjectBox->cursorPositionAt(position);
        return offset > 0 ? QList<qsizetype> {offset, offset - 1} : QList<qsizetype> {offset};
    }
    const QTextCursor near = m_bodyBox->cursorForPosition(position);
    const bool before = position.x() < m_bodyBox->cursorRect(near).center().x() && !near.atBlockStart();
    return {m_bodyBox->offsetOf(near.position() - (before ? 1 : 0))};
}

// A marked phrase in a box, or a line of the phrase list, explains itself.
bool MainForm::showPhraseToolTip(QObject* watched, QHelpEvent* event)
{
    QString text;
    QWidget* widget = nullptr;
    if (watched == m_subjectBox || watched == m_bodyBox->viewport()) {
        const Pane pane = watched == m_subjectBox ? Pane::Subject : Pane::Body;
        widget = static_cast<QWidget*>(watched);
        for (const qsizetype offset : offsetsUnder(pane, event->pos())) {
            text = m_highlighter->toolTipAt(pane, offset);
            if (!text.isEmpty())
                break;
        }
    } else if (watched == m_phraseListBox->viewport()) {
        widget = m_phraseListBox->viewport();
        text = m_highlighter->toolTipForPhrase(m_phraseListBox->cursorForPosition(event->pos()).block().text());
    } else {
        return false;
    }
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), text, widget);
    return true;
}

void MainForm::dragEnterEvent(QDragEnterEvent* event)
{
    if (!droppedMessageFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainForm::dropEvent(QDropEvent* event)
{
    const QString path = droppedMessageFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Read after the drop has finished, so that a message box does not hold up the program it came from.
    QTimer::singleShot(0, this, [this, path] { openMessageFile(path); });
}

void MainForm::openMessageFile(const QString& path)
{
    const QString shownPath = TextDecoding::withVisibleControls(QDir::toNativeSeparators(path));
    const auto warn = [this](const QString& text) {
        MessageBoxes::show(this, {MessageIcon::Warning, QString::fromUtf8(AppIdentity::Title), text});
    };
    const InputFile::Contents contents
        = InputFile::read(path, InputFile::MaxMessageBytes, InputFile::Accept::RegularFiles);
    if (!contents.fault && contents.bytes.isEmpty()) {
        warn(QStringLiteral("The file %1 is empty, so the subject and body are left as they are.").arg(shownPath));
        return;
    }
    // A file of another name is read as text: the user chose it.
    const MessageFormat format = messageFormatOf(path).value_or(MessageFormat::Text);
    const MessageText message = contents.fault ? MessageText {} : readMessage(contents.bytes, format);
    const QString error = contents.fault ? contents.fault->reason : message.error;
    if (!error.isEmpty()) {
        warn(QStringLiteral("The message %1 cannot be read: %2.")
                 .arg(shownPath, TextDecoding::withVisibleControls(error)));
        return;
    }
    // A text file holds only a body. Each box the file changes takes the change back with one Undo.
    const QString subject = ScanText::boxSubject(message.subject);
    if (format != MessageFormat::Text && subject != m_subjectBox->text())
        replacePaneText(Pane::Subject, subject);
    if (message.body != bodyText())
        replacePaneText(Pane::Body, message.body);
}

void MainForm::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    emit closed();
}

bool MainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && showPhraseToolTip(watched, static_cast<QHelpEvent*>(event)))
        return true;
    const Pane pane = watched == m_bodyBox ? Pane::Body : Pane::Subject;
    // A menu asked for from the keyboard belongs to the phrase at the caret, not to the place of the mouse.
    if ((watched == m_subjectBox || watched == m_bodyBox) && event->type() == QEvent::ContextMenu
        && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        showBoxMenu(pane);
        return true;
    }
    if ((watched == m_subjectBox || watched == m_bodyBox) && event->type() == QEvent::KeyPress) {
        const auto* press = static_cast<QKeyEvent*>(event);
        const int key = press->key();
        // The context-menu key and Shift+F10 open the menu at the caret. Windows turns both into a request for
        // the menu (above); other desktops send the keys alone.
        const bool menuKey = key == Qt::Key_Menu || (key == Qt::Key_F10 && press->modifiers() == Qt::ShiftModifier);
        if (menuKey && QGuiApplication::platformName() != QLatin1String("windows")) {
            showBoxMenu(pane);
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return pressEnter(pane);
        // Ctrl+Y redoes on every desktop, as Ctrl+Shift+Z does; X11 desktops bind only the latter.
        if (key == Qt::Key_Y && press->modifiers() == Qt::ControlModifier) {
            if (watched == m_bodyBox)
                m_bodyBox->redo();
            else
                m_subjectBox->redo();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Enter in a pane scans the texts as they stand. The pane then handles the key where the user pressed it,
// unless its line break would replace the occurrence just selected in the body: then the key is consumed.
bool MainForm::pressEnter(Pane pane)
{
    const int subjectCaret = m_subjectBox->cursorPosition();
    const PressOutcome outcome = runScan();
    const std::optional<Pane> stop = outcome.kind == PressOutcome::Kind::Stopped
        ? std::optional(m_session.outcome().lastOccurrence->pane)
        : std::nullopt;
    if (pane == Pane::Subject) {
        if (stop != Pane::Subject)
            m_subjectBox->setCursorPosition(subjectCaret);
        return false;
    }
    if (stop == Pane::Body)
        return true;
    if (m_typingCaret)
        m_bodyBox->setTextCursor(*std::exchange(m_typingCaret, std::nullopt));
    return false;
}
