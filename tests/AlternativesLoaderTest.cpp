#include "scanner/AlternativesLoader.h"

#include "scanner/PhraseOccurrences.h"
#include "scanner/ScanSession.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>

#include <algorithm>
#include <map>
#include <memory>

namespace {

using Wordings = std::map<QString, QStringList>;

Wordings wordingsOf(const LoadedAlternatives& loaded)
{
    return Wordings(loaded.wordings.cbegin(), loaded.wordings.cend());
}

} // namespace

TEST(AlternativesLoader, ReadsWordingsAndStopsAtTheFirstFaultWithItsLine)
{
    struct Case
    {
        const char* name;
        QByteArray contents;
        Wordings wordings;
        // 0 with an empty reason: no fault.
        int line;
        QString reason;
    };
    const std::vector<Case> cases = {
        {"wordings best first, (remove) for taking the phrase out",
         "h\t1\r\nfree\tno cost\tat no charge\r\n!!!\t(remove)\r\n",
         {{"free", {"no cost", "at no charge"}}, {"!!!", {""}}},
         0,
         {}},
        {"headings and blank lines passed over, spaces trimmed, empty fields dropped, phrases folded",
         "h\t1\r[Money]\r\r  Act NOW  \t reply soon \t\t\rfree\nmoney\tfunds\r",
         {{"act now", {"reply soon"}}, {"free\nmoney", {"funds"}}},
         0,
         {}},
        {"header only", "h\t1\r\n", {}, 0, {}},
        {"empty file", "", {}, 1, "the file is empty"},
        {"header without a TAB", "Alternatives\r\nfree\tno cost\r\n", {}, 1, "the header line has no TAB"},
        {"a phrase without a wording keeps the lines before it",
         "h\t1\r\nfree\tno cost\r\nact now\t \t\r\nlater\tx\r\n",
         {{"free", {"no cost"}}},
         3,
         "\"act now\" has no wording"},
        {"five wordings", "h\t1\r\nfree\ta\tb\tc\td\te\r\n", {}, 2, "\"free\" has more than four wordings"},
        {"the same phrase twice, in other capitals",
         "h\t1\r\nfree\tno cost\r\n\r\nFREE\tgratis\r\n",
         {{"free", {"no cost"}}},
         4,
         "\"FREE\" has its wordings on line 2 already"},
        {"lines ending with a line feed alone",
         "h\t1\nfree\tno cost\n",
         {},
         0,
         "the file holds no wordings (its lines end with a line feed alone; they must end with CR LF or CR)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedAlternatives loaded = parseAlternatives(c.contents);
        EXPECT_EQ(wordingsOf(loaded), c.wordings);
        ASSERT_EQ(loaded.fault.has_value(), !c.reason.isEmpty());
        if (loaded.fault) {
            EXPECT_EQ(loaded.fault->line, c.line);
            EXPECT_EQ(loaded.fault->reason, c.reason);
        }
    }

    SCOPED_TRACE("attached to the table's phrases in any capitals; other phrases passed over");
    PhraseTable table;
    for (const char* phrase : {"FREE", "act now"})
        table.storePhrase(phrase);
    attachAlternatives(table, {{"free", {"no cost"}}, {"unknown", {"x"}}});
    EXPECT_EQ(table.at(0).alternatives, QStringList {"no cost"});
    EXPECT_TRUE(table.at(1).alternatives.isEmpty());
    EXPECT_FALSE(loadAlternativesFile("/nonexistent/Alternatives.dat").fault.has_value());
}

// The shipped wordings may be offered with one click only if taking them never trades one trigger phrase for
// another: no wording holds a phrase where the scan would find it (inside words too), every line names a
// shipped phrase, and taking the first wording for each occurrence of the unsolicited sample lowers its score.
TEST(AlternativesLoader, ShippedWordingsHoldNoTriggerPhraseAndLowerTheSamplesScore)
{
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    const QString definitionsPath = QStringLiteral(TALLYVEX_SOURCE_DIR "/resources/Definitions.dat");
    const LoadedDefinitions loaded = loadDefinitions(definitionsPath, QString(), english);
    ASSERT_FALSE(loaded.fault.has_value()) << loaded.fault->describe(definitionsPath).toStdString();
    ASSERT_EQ(loaded.alternativesPath, alternativesPathBeside(definitionsPath));
    ASSERT_FALSE(loaded.alternativesFault.has_value())
        << loaded.alternativesFault->describe(loaded.alternativesPath).toStdString();

    const auto index = std::make_shared<const PhraseIndex>(loaded.table);
    const PhraseOccurrences finder(index);
    QSet<QString> phrasesWithWordings;
    for (const TriggerPhrase& entry : loaded.table) {
        if (!entry.alternatives.isEmpty())
            phrasesWithWordings.insert(entry.phrase.toCaseFolded());
        for (const QString& wording : entry.alternatives) {
            for (const Occurrence& found : finder.findAll(wording))
                ADD_FAILURE() << "the wording \"" << wording.toStdString() << "\" of \"" << entry.phrase.toStdString()
                              << "\" holds the trigger phrase \"" << found.phrase.toStdString() << '"';
        }
    }
    EXPECT_EQ(phrasesWithWordings.size(), loadAlternativesFile(loaded.alternativesPath).wordings.size())
        << "a line of the alternatives names no shipped phrase";

    QFile sample(QStringLiteral(TALLYVEX_SOURCE_DIR "/examples/unsolicited.txt"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QString body = QString::fromUtf8(sample.readAll());
    ScanSession session(english);
    session.keepOccurrences(true);
    session.setDefinitions(index);
    session.press(QString(), body, false);
    const double before = session.outcome().score.value_or(0);
    // Of overlapping occurrences ("money back" within "money back guarantee") the longest that starts first
    // is replaced, as the window offers it; the replacements go from the end of the text back.
    std::vector<Occurrence> handled = session.outcome().occurrences;
    std::sort(handled.begin(), handled.end(), [](const Occurrence& a, const Occurrence& b) {
        return a.start != b.start ? a.start < b.start : a.length > b.length;
    });
    std::vector<Occurrence> replaced;
    for (const Occurrence& occurrence : handled) {
        if (!loaded.table.at(occurrence.phraseIndex).alternatives.isEmpty()
            && (replaced.empty() || occurrence.start >= replaced.back().start + replaced.back().length))
            replaced.push_back(occurrence);
    }
    for (auto occurrence = replaced.rbegin(); occurrence != replaced.rend(); ++occurrence)
        body.replace(occurrence->start, occurrence->length,
                     loaded.table.at(occurrence->phraseIndex).alternatives.first());
    session.press(QString(), body, false);
    const double after = session.outcome().score.value_or(0);
    EXPECT_LT(after, before) << "the sample with the first wordings taken:\n" << body.toStdString();
}
