#pragma once

#include "scanner/PhraseTable.h"
#include "scanner/ScanResults.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>

class PhraseSearch;

enum class Pane
{
    Subject,
    Body
};

// One handled occurrence of a trigger phrase, and where it lies in the panes.
struct Occurrence
{
    qsizetype phraseIndex = 0;
    QString phrase;
    // The verdict caption's text for it, e.g. "'free' - (Bold) 2".
    QString text;
    bool bold = false;
    // 1-based position in the scan text: the subject padded to 120 characters, then the body.
    qsizetype position = 0;
    Pane pane = Pane::Subject;
    // Selection start and length in that pane.
    qsizetype start = 0;
    qsizetype length = 0;
};

// What one press of the scan button did.
struct PressOutcome
{
    enum class Kind
    {
        // Subject and body hold nothing but spaces: nothing changed, the caller shows the prompt.
        EmptyInput,
        // The scan ran to its end; the verdict is shown.
        Finished,
        // Step Through stopped at an occurrence: select `stop()` in its pane.
        Stopped
    };
    Kind kind = Kind::EmptyInput;
    // How many occurrences this press handled.
    qsizetype handled = 0;
    // The last occurrence this press handled, if any.
    std::optional<Occurrence> last;

    const Occurrence& stop() const { return *last; }
};

// The scan of a subject and body against the trigger phrases, one press of the scan button at a time.
// Between presses it keeps the Step Through state: the phrase and the position of the last stop.
class ScanSession
{
public:
    using SearchFactory = std::function<std::unique_ptr<PhraseSearch>(const PhraseTable&)>;

    static constexpr qsizetype SubjectWidth = 120;

    explicit ScanSession(const QLocale& locale = QLocale::system(), SearchFactory makeSearch = {});
    ~ScanSession();

    ScanResults& results() { return m_results; }
    const ScanResults& results() const { return m_results; }
    const PhraseTable& phrases() const { return m_table; }

    // Score, percentage and phrase list back to their idle captions, the gauge sized from them; the verdict,
    // the status and a paused walk stay.
    void clearResults();

    // Back to a table of one empty entry, and no scan paused.
    void resetDefinitions();
    void setDefinitions(PhraseTable table);

    // One press: a new scan, or the paused one resumed, on the texts as they stand now. With a `log`, every
    // occurrence handled is appended to it in order; a window needs only the last one, and describing each
    // occurrence of a long table costs more than finding it.
    PressOutcome press(const QString& subject, const QString& body, bool stepThrough, QList<Occurrence>* log = nullptr);

    bool isPaused() const { return m_matchPos != 0; }
    qint16 stepIndex() const { return m_stepIndex; }
    // 1-based position of the current match in the scan text; 0 when no match is current.
    qsizetype matchPos() const { return m_matchPos; }

    // The subject padded with spaces and cut to 120 characters, followed by the body.
    static QString scanText(const QString& subject, const QString& body);
    static void writeScanText(QString& text, const QString& subject, const QString& body);

private:
    struct HandledOccurrence
    {
        qsizetype index = 0;
        // 1-based, in the scan text.
        qsizetype phraseStart = 0;
        bool bold = false;
    };

    // Adds the weight of phrase `index` found at `phraseStart`, twice when it is written in capitals;
    // returns whether it is.
    bool countOccurrence(qsizetype index, qsizetype phraseStart, const QString& scanText);
    Occurrence describeOccurrence(const HandledOccurrence& handled);
    // Describes the press's last occurrence in `outcome` and shows it.
    void showLastOccurrence(PressOutcome& outcome, const HandledOccurrence& last, qsizetype textLength);
    const QString& weightText(double weight);
    void finishScan();

    SearchFactory m_makeSearch;
    PhraseTable m_table;
    std::unique_ptr<PhraseSearch> m_search;
    QString m_scanText;
    // The texts m_scanText was written from.
    QString m_subject;
    QString m_body;
    ScanResults m_results;
    qint16 m_stepIndex = 0;
    qsizetype m_matchPos = 0;
    // By the bits of the weight, so that -0 and 0 keep their own texts.
    std::unordered_map<quint64, QString> m_weightTexts;
};

// True when every character is one of the 26 capital letters A to Z; true for an empty text.
bool isAllCaps(QStringView text);
