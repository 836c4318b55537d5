#pragma once

#include "scanner/CaptionNumbers.h"
#include "scanner/ScanSession.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QTextCursor>
#include <QWidget>

#include <optional>

class BodyTextBox;
class LinkLabel;
class PhraseHighlighter;
class QAction;
class QHelpEvent;
class QCheckBox;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class SkinPicture;
class SubjectTextBox;
struct DefinitionsFault;

// The main window: a frameless face cut to the outline of its skin, the subject and body panes with
// their Paste, Copy and Clear buttons, the scan button with Step Through, the results, the gauge and the
// search row. Loading it reads the trigger phrases, styles the labels and shapes the window. What the user
// asks of the program beyond the window (a web site, a search, the About box) it announces as signals.
class MainForm : public QWidget
{
    Q_OBJECT

public:
    // The web sites the window's link labels stand for.
    enum class Link
    {
        SearchSite,
        Provider,
        Maker
    };
    Q_ENUM(Link)

    // definitionsPath: the trigger-phrase file; empty to look for it beside the program, then in the
    // installed share folder.
    explicit MainForm(const QString& definitionsPath = QString(),
                      const QLocale& locale = QLocale::system(),
                      QWidget* parent = nullptr);
    ~MainForm() override;

    const ScanSession& session() const { return m_session; }
    PhraseHighlighter& highlighter() const { return *m_highlighter; }

    // Whether the trigger phrases are marked in the subject and body boxes; the boxes' context menus switch it.
    bool isHighlighting() const;
    void setHighlighting(bool on);

    // Fills the subject and body boxes from a message file, as a drop of it does; a file that cannot be read
    // is reported in a message box.
    void openMessageFile(const QString& path);

signals:
    void aboutRequested();
    // The words typed into the search box, as typed; a box of blanks asks for nothing.
    void searchRequested(const QString& words);
    void linkActivated(MainForm::Link link);
    // Ctrl+O: the user wants to choose a message file to open.
    void openRequested();
    // The window has closed, by its X label or by the system.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A saved e-mail (.eml) dropped anywhere on the window fills the subject and body boxes.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void createControls();
    void connectLinks(LinkLabel* searchSite, LinkLabel* provider);
    void stackControls();
    void orderTabStops();
    void describeForAssistiveTools();
    void acceptMessageDrops();
    void setUpHighlighting();
    QWidget* paneBox(Pane pane) const;
    void showBoxMenu(Pane pane, std::optional<QPoint> position = std::nullopt);
    // The first of `offsets` in a pane's text where a marked phrase can be replaced, and that phrase.
    std::optional<Occurrence> replaceableAt(Pane pane, const QList<qsizetype>& offsets);
    void offerWordings(QMenu& menu, const Occurrence& occurrence);
    void replaceOccurrence(const Occurrence& occurrence, const QString& wording);
    QList<qsizetype> offsetsUnder(Pane pane, const QPoint& position) const;
    bool showPhraseToolTip(QObject* watched, QHelpEvent* event);

    void load();
    // Reads the definitions and their plainer wordings; what to warn the user of, empty when all was read.
    QString loadDefinitions();
    void styleLabels();
    void setUpSkin();
    QString describeDefinitionsFault(const DefinitionsFault& fault) const;

    PressOutcome runScan();
    bool pressEnter(Pane pane);
    // The body box's text, taken from the box again only after it changed: Step Through presses again and
    // again on a body that may be megabytes long.
    const QString& bodyText();
    void stepThroughClicked(bool checked);
    void placeBodyCaret(const QTextCursor& caret);
    void selectOccurrence(const Occurrence& occurrence);
    void showResults();

    QString paneText(Pane pane) const;
    void replacePaneText(Pane pane, const QString& text);
    void paste(Pane pane);
    void copy(Pane pane) const;
    void clear(Pane pane);

    // The definitions file read; until then the one asked for, or empty to use the program's own.
    QString m_definitionsPath;
    QLocale m_locale;
    CaptionNumbers m_numbers;
    ScanSession m_session;
    QString m_bodyText;
    bool m_bodyChanged = true;

    // Where the user left the body's caret before the scan took it over to show its stops; the body's
    // own line break of an Enter goes there. Empty while the user's caret is the box's own.
    std::optional<QTextCursor> m_typingCaret;
    bool m_placingBodyCaret = false;

    PhraseHighlighter* m_highlighter = nullptr;
    QAction* m_highlightAction = nullptr;

    // The controls, named by what they are; each one's objectName is its name in the layout table (cmdScore
    // for the scan button, tbInput for the body box ...).
    SkinPicture* m_skin = nullptr;
    QPushButton* m_searchButton = nullptr;
    QLineEdit* m_searchBox = nullptr;
    BodyTextBox* m_bodyBox = nullptr;
    QPushButton* m_bodyPasteButton = nullptr;
    QPushButton* m_bodyCopyButton = nullptr;
    QPushButton* m_scanButton = nullptr;
    QPlainTextEdit* m_phraseListBox = nullptr;
    QCheckBox* m_stepThroughBox = nullptr;
    SubjectTextBox* m_subjectBox = nullptr;
    QPushButton* m_subjectCopyButton = nullptr;
    QPushButton* m_subjectPasteButton = nullptr;
    QPushButton* m_subjectClearButton = nullptr;
    QPushButton* m_bodyClearButton = nullptr;
    LinkLabel* m_makerLink = nullptr;
    QLabel* m_verdictLabel = nullptr;
    QLabel* m_greenBar = nullptr;
    QLabel* m_yellowBar = nullptr;
    QLabel* m_redBar = nullptr;
    QLabel* m_statusLabel = nullptr;
    LinkLabel* m_aboutLink = nullptr;
    LinkLabel* m_exitLink = nullptr;
    QLabel* m_scoreHeading = nullptr;
    QLabel* m_scoreLabel = nullptr;
    QLabel* m_percentHeading = nullptr;
    QLabel* m_percentLabel = nullptr;
    QLabel* m_subjectHeading = nullptr;
    QLabel* m_bodyHeading = nullptr;
    QLabel* m_phraseListHeading = nullptr;
};
