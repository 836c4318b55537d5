#pragma once

#include "messagefile/MessageFile.h"
#include "scanner/ScanOutcome.h"
#include "scanner/WeightBand.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>
#include <vector>

// A stretch of a document, in UTF-16 offsets.
struct TextRange
{
    qsizetype start = 0;
    qsizetype end = 0;

    bool covers(qsizetype offset) const { return start <= offset && offset < end; }
};

// One occurrence of a trigger phrase that a scan counts, as an editor shows it.
struct Finding
{
    // The phrase as the definitions have it.
    QString phrase;
    WeightBand band = WeightBand::Light;
    // What it added to the score (twice the weight when written in capitals), written by the user's locale.
    QString weightAdded;
    bool inCapitals = false;
    // Where it stands in the document; nothing when it stands only in the text read from it (a saved
    // e-mail's decoded body or subject), and then `whereRead` says where that is.
    std::optional<TextRange> range;
    QString whereRead;
    // The plainer wordings of its phrase, best first; an empty wording removes it.
    QStringList wordings;
};

// What a scan makes of a document.
struct DocumentRating
{
    // Why the document could not be rated; empty when it was.
    QString fault;
    // The subject and body hold nothing but spaces: there is nothing to rate.
    bool blank = false;
    Verdict verdict = Verdict::Pass;
    // The score and percentage as the window shows them.
    QString score;
    QString percent;
    // In the order of the text.
    std::vector<Finding> findings;
};

// What the window's tooltip says about the occurrences at one place, and the stretch of the first of them.
struct Explanation
{
    QString text;
    TextRange range;
};

// Rates documents with the scan's engine and definitions, and explains their phrases: the one place where
// the server meets the scanner and the message readers. One rater serves one thread.
class DocumentRater
{
public:
    // The program's folder, where the shipped definitions are looked for.
    DocumentRater(const QLocale& locale, const QString& programFolder);
    ~DocumentRater();

    // Loads a definitions file (an empty path: the shipped one) and the plainer wordings beside it for the
    // ratings that follow. Gives what went wrong, or an empty text; after a fault in the definitions those
    // loaded before stay in use, and while none were ever loaded, every rating has the fault. A fault in the
    // wordings leaves the definitions in use with the wordings read before it.
    QString useDefinitions(const QString& path);

    DocumentRating rate(const QString& text, MessageFormat kind);
    // About the occurrences at `offset`, all of them as the window marks them (those of light phrases only
    // when `withLight`); nothing where none is.
    std::optional<Explanation> explainAt(const QString& text, MessageFormat kind, qsizetype offset, bool withLight);

    // The kind a document's file name says (.eml, .html, .htm, .txt), else the kind its editor's language
    // name says (HTML and the template languages written in it, e-mail), else plain text.
    static MessageFormat kindOf(QStringView path, QStringView languageId);

private:
    QString loadDefinitions(const QString& path);

    struct Engine;
    std::unique_ptr<Engine> m_engine;
};
