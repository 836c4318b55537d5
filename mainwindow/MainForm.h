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
    void showBoxMenu(QWidget* box, const QPoint& position);
    bool showPhraseToolTip(QObject* watched, QHelpEvent* event);

    void load();
    std::optional<DefinitionsFault> loadDefinitions();
    void styleLabels();
    void setUpSkin();
    void reportLoadFault(const DefinitionsFault& fault);

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

    SkinPicture* m_picMainSkin = nullptr;
    QPushButton* m_cmdGo = nullptr;
    QLineEdit* m_tbSearchNorvane = nullptr;
    BodyTextBox* m_tbInput = nullptr;
    QPushButton* m_cmdPaste = nullptr;
    QPushButton* m_cmdCopy = nullptr;
    QPushButton* m_cmdScore = nullptr;
    QPlainTextEdit* m_tbPhrases = nullptr;
    QCheckBox* m_chkStep = nullptr;
    SubjectTextBox* m_tbSubject = nullptr;
    QPushButton* m_cmdSubCopy = nullptr;
    QPushButton* m_cmdSubPaste = nullptr;
    QPushButton* m_cmdSubClear = nullptr;
    QPushButton* m_cmdClear = nullptr;
    LinkLabel* m_lblTitle = nullptr;
    QLabel* m_lblPassFail = nullptr;
    QLabel* m_lblBar1 = nullptr;
    QLabel* m_lblBar2 = nullptr;
    QLabel* m_lblBar3 = nullptr;
    QLabel* m_lblStatus = nullptr;
    LinkLabel* m_lblAbout = nullptr;
    LinkLabel* m_lblExit = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_lblScore = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_lblPercent = nullptr;
    QLabel* m_label3 = nullptr;
    QLabel* m_label4 = nullptr;
    QLabel* m_label5 = nullptr;
};
