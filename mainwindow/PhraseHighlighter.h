#pragma once

#include "mainwindow/TextMark.h"
#include "scanner/CaptionNumbers.h"
#include "scanner/PhraseOccurrences.h"
#include "scanner/PhraseTable.h"
#include "scanner/ScanText.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTextCharFormat>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class BodyTextBox;
class QLineEdit;

// Marks every occurrence of every trigger phrase in the subject and body boxes while the user writes, like
// a spelling checker, and explains them. The occurrences are found in the text a scan reads (the subject
// padded to 120 characters, then the body), so they agree with what a scan counts. The marks follow the
// text a moment after the last change; they are a view only and leave the results to the scan.
class PhraseHighlighter : public QObject
{
    Q_OBJECT

public:
    // How long the text must rest before the marks follow it.
    static constexpr int RestMilliseconds = 150;

    // The styles of the weight bands, from light to heavy: each has an underline of its own, so that the
    // bands are told apart without colour.
    static QList<QTextCharFormat> bandStyles();

    // bodyText: the body box's text, which the window keeps once taken from the box until it changes, so
    // that the marks and the scan take it from the box once.
    PhraseHighlighter(QLineEdit* subject,
                      BodyTextBox* body,
                      std::function<const QString&()> bodyText,
                      const QLocale& locale,
                      QObject* parent = nullptr);
    ~PhraseHighlighter() override;

    // The phrases to mark, as the definitions load indexed them.
    void setPhrases(std::shared_ptr<const PhraseIndex> index);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    // The text changed: the marks follow once it has rested.
    void textChanged();
    // Whether the marks wait for the text to rest.
    bool isPending() const { return m_timer.isActive(); }
    // Finds the occurrences in the texts as they stand and, when enabled, shows them.
    void refresh();

    // The subject's marks as last shown; the body box keeps its own.
    const std::vector<TextMark>& subjectMarks() const { return m_subjectMarks; }

    // The explanation of the marked occurrences at `offset` of a pane's text; empty where nothing is marked.
    QString toolTipAt(Pane pane, qsizetype offset);
    // The explanation of the first table entry with exactly this phrase; empty when there is none.
    QString toolTipForPhrase(const QString& phrase);
    // The marked occurrence at `offset` of a pane's text that plainer wordings can replace: the longest of
    // those that cover it, have wordings and lie wholly in the pane, found in the texts as they stand.
    std::optional<Occurrence> replaceableAt(Pane pane, qsizetype offset);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void findOccurrences();
    void showMarks();
    void markSubject(std::vector<TextMark> marks);

    QLineEdit* m_subject;
    BodyTextBox* m_body;
    std::function<const QString&()> m_bodyText;
    CaptionNumbers m_numbers;
    PhraseTable m_table;
    std::optional<PhraseOccurrences> m_finder;
    QList<QTextCharFormat> m_styles;
    QTimer m_timer;
    bool m_enabled = true;
    // The scan text the occurrences were found in; stale after a change until they are found again.
    QString m_scanText;
    qsizetype m_subjectLength = 0;
    std::vector<Occurrence> m_occurrences;
    bool m_stale = true;
    std::vector<TextMark> m_subjectMarks;
    // While an input method composes text in the subject, marks are not laid over it: an event of ours
    // would end the composition.
    bool m_composing = false;
    bool m_markingSubject = false;
};
