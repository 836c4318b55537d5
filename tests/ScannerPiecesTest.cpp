#include "scanner/CaptionNumbers.h"
#include "scanner/FastSearch.h"
#include "scanner/PhraseAutomaton.h"
#include "scanner/PhraseList.h"
#include "scanner/PhraseOccurrences.h"
#include "scanner/PhraseTable.h"
#include "scanner/ScoreAccumulator.h"
#include "support/ReferenceSearch.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

PhraseTable tableOf(const QStringList& phrases)
{
    PhraseTable table;
    for (const QString& phrase : phrases)
        table.storePhrase(phrase);
    return table;
}

// Both engines over one table, so that every case is asked of each.
struct Engines
{
    explicit Engines(const PhraseTable& table)
    {
        searches.push_back(std::make_unique<ReferenceSearch>(table));
        searches.push_back(std::make_unique<FastSearch>(std::make_shared<const PhraseIndex>(table)));
    }
    std::vector<std::unique_ptr<PhraseSearch>> searches;
};

} // namespace

TEST(OccurrenceRule, FirstOccurrenceThenAtMostTenPaddedOnes)
{
    struct Case
    {
        QString text;
        QList<qsizetype> starts;
    };
    QString elevenMore;
    for (int i = 0; i < 15; ++i)
        elevenMore += QStringLiteral(" free");
    const Case cases[] = {
        {QStringLiteral("nothing here"), {}},
        // The first occurrence may lie inside a word; later ones need a space on both sides.
        {QStringLiteral("xfree free free"), {2, 7}},
        {QStringLiteral("free free"), {1}},
        {QStringLiteral("free  FREE free "), {1, 7, 12}},
        {elevenMore + u' ', {2, 7, 12, 17, 22, 27, 32, 37, 42, 47, 52}},
    };
    const PhraseTable table = tableOf({QStringLiteral("free")});
    Engines engines(table);
    const PhraseOccurrences listing(std::make_shared<const PhraseIndex>(table));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        for (const auto& search : engines.searches) {
            search->setText(c.text);
            PhraseSearch::HandledStarts starts;
            const int count = search->handledOccurrences(0, starts);
            EXPECT_EQ(QList<qsizetype>(starts.begin(), starts.begin() + count), c.starts);
        }
        // The listing of every occurrence says the same of which ones count.
        QList<qsizetype> counted;
        for (const Occurrence& occurrence : listing.findAll(c.text)) {
            if (occurrence.counts)
                counted.append(occurrence.position);
        }
        EXPECT_EQ(counted, c.starts);
    }
}

TEST(PhraseList, ContainsWhatWasAppendedInAnyCase)
{
    const QString lowSurrogateFirst = QChar(0xDC00) + QStringLiteral("x money");
    const PhraseTable table
        = tableOf({QStringLiteral("free"), QStringLiteral("Free Money"), QStringLiteral("money"),
                   QStringLiteral("a\r\nb"), QStringLiteral("A"), QStringLiteral("b"), lowSurrogateFirst});
    enum Step
    {
        Append,
        Clear,
        Contains,
        Lacks
    };
    const std::pair<Step, qsizetype> steps[] = {
        {Lacks, 0},    {Append, 1}, {Contains, 0}, {Contains, 1}, {Contains, 2}, {Lacks, 4},  {Clear, 0}, {Lacks, 0},
        {Lacks, 2},    {Append, 4}, {Append, 5},   {Contains, 3}, {Contains, 4}, {Lacks, 0},  {Clear, 0}, {Append, 6},
        {Contains, 2}, {Lacks, 0},  {Append, 0},   {Contains, 0}, {Clear, 0},    {Append, 0}, {Lacks, 2},
    };
    Engines engines(table);
    for (const auto& search : engines.searches) {
        PhraseList list;
        for (size_t i = 0; i < std::size(steps); ++i) {
            const auto [step, index] = steps[i];
            if (step == Append)
                list.append(index, table.at(index).phrase);
            else if (step == Clear)
                list.clear();
            else
                EXPECT_EQ(list.contains(*search, index), step == Contains) << "step " << i;
        }
    }
}

TEST(ScoreAccumulator, EveryAdditionIsRoundedAsTheCaptionShowsIt)
{
    struct Case
    {
        QList<double> weights;
        QString caption;
        double value;
    };
    const Case cases[] = {
        {{}, QStringLiteral("0.0"), 0.0},
        // Whole tenths add up exactly, where doubles would drift below 1.
        {{0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1}, QStringLiteral("1.0"), 1.0},
        // Each sum is rounded before the next weight is added.
        {{0.05, 0.05}, QStringLiteral("0.2"), 0.2},
        {{0.04, 0.04, 0.04}, QStringLiteral("0.0"), 0.0},
        {{1.5, 0.05}, QStringLiteral("1.6"), 1.6},
        {{1234.5, 2}, QStringLiteral("1,236.5"), 1236.5},
    };
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    for (const Case& c : cases) {
        ScoreAccumulator score(english);
        for (const double weight : c.weights)
            score.add(weight);
        EXPECT_EQ(score.value(), c.value) << c.caption.toStdString();
        EXPECT_EQ(CaptionNumbers(english).score(score.value()), c.caption);
    }
}

TEST(PhraseAutomaton, WalksAlikeWithNarrowAndWideTables)
{
    // The last nodes of the longest phrase lie beyond 32,768 in the wide table.
    const std::vector<std::u32string> phrases = {U"he", U"she", U"his", U"hers", U"\U0001F600x", U"abcdefghij"};
    // Enough further phrases that positions no longer fit 16 bits.
    std::vector<std::u32string> wide = phrases;
    for (char32_t c = 0; wide.size() < 9000; ++c)
        wide.push_back(
            std::u32string {U'q', U'0' + c % 10, U'0' + c / 10 % 10, U'0' + c / 100 % 10, U'0' + c / 1000 % 10}
            + U"zzzz");
    const std::pair<std::u32string, std::vector<std::pair<std::int32_t, std::size_t>>> cases[] = {
        {U"ushers", {{1, 1}, {0, 2}, {3, 2}}},
        {U"this his", {{2, 1}, {2, 5}}},
        {U"a\U0001F600x", {{4, 1}}},
        {U"xabcdefghijk", {{5, 1}}},
        {U"nothing", {}},
    };
    const std::vector<std::u32string>* lists[] = {&phrases, &wide};
    for (const auto* list : lists) {
        const PhraseAutomaton automaton(*list);
        ASSERT_EQ(automaton.nodeCount() > 32768, list == &wide);
        for (const auto& [text, expected] : cases) {
            PhraseAutomaton::WalkState state;
            state.reset(automaton);
            std::vector<std::pair<std::int32_t, std::size_t>> found;
            automaton.walk(text.data(), text.size(), state, [&found](std::int32_t pattern, std::size_t start) {
                found.emplace_back(pattern, start);
                return true;
            });
            EXPECT_EQ(found, expected) << list->size() << " phrases, case " << found.size();
        }
    }
}
