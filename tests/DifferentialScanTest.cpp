#include "ScanObservables.h"
#include "scanner/CaptionNumbers.h"
#include "scanner/FastSearch.h"
#include "scanner/PhraseOccurrences.h"
#include "scanner/PhraseTable.h"
#include "scanner/ScanSession.h"
#include "scanner/ScanText.h"
#include "support/ReferenceSearch.h"

#include <gtest/gtest.h>

#include <QLocale>

#include <algorithm>
#include <chrono>
#include <optional>
#include <random>

// The fast engine against the plain sequential search on generated tables and texts, in normal scans and
// in whole Step Through walks, comparing everything a user can see.
namespace {

struct Alphabet
{
    const char* name;
    // Pieces that texts and phrases are made of; a piece may hold more than one unit.
    QStringList pieces;
};

QStringList units(std::initializer_list<char32_t> codePoints)
{
    QStringList list;
    for (char32_t c : codePoints)
        list.append(QString::fromUcs4(&c, 1));
    return list;
}

const QStringList TinyPieces {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("B"),
                              QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")};

QStringList unicodePieces()
{
    // Kelvin sign, long s, the three sigmas, sharp s and its capital, dotted and dotless i, Deseret letters
    // (outside the Basic Multilingual Plane) and lone surrogates.
    QStringList pieces
        = units({U'k', U'K',  0x212A, U's',    U'S',    0x17F,   0x3C3,   0x3A3, 0x3C2, 0xDF, 0x1E9E, U'i',
                 U'I', 0x130, 0x131,  0x10400, 0x10428, 0x10401, 0x10429, U' ',  U' ',  U' ', U'\n',  U'.'});
    pieces.append(QString(QChar(0xD801)));
    pieces.append(QString(QChar(0xDC00)));
    return pieces;
}

const QStringList WordPieces {QStringLiteral("free "),  QStringLiteral("FREE "),    QStringLiteral("money "),
                              QStringLiteral("Money "), QStringLiteral("act now "), QStringLiteral("now"),
                              QStringLiteral("win"),    QStringLiteral(" "),        QStringLiteral("!"),
                              QStringLiteral("\n"),     QStringLiteral("cash "),    QStringLiteral("CASH")};

struct Config
{
    const char* name;
    QStringList pieces;
    int cases;
    int maxSubjectPieces;
    int maxBodyPieces;
    int maxPhrases;
    int maxPhrasePieces;
    QLocale locale;
    int leastPhrases = 0;
    // When set, every table's automaton must have more nodes than this.
    std::size_t leastNodes = 0;
};

void PrintTo(const Config& config, std::ostream* out)
{
    *out << config.name;
}

class Generator
{
public:
    Generator(const Config& config, std::uint32_t seed)
        : m_config(config)
        , m_random(seed)
    {
    }

    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_random); }
    bool chance(int percent) { return below(100) < percent; }

    QString text(int maxPieces)
    {
        QString result;
        const int count = below(maxPieces + 1);
        for (int i = 0; i < count; ++i)
            result += m_config.pieces.at(below(int(m_config.pieces.size())));
        return result;
    }

    // Phrases invented, cut from the text (so they are found, also across the subject's end at 120),
    // repeated, or repeated in other capitals.
    PhraseTable table(const QString& scanText)
    {
        // Weights whose sums land on and near halves of a tenth, negative ones and large ones.
        static const double Weights[]
            = {1, 0.5, 2.25, 1.5, 3, 0.05, -1, 10, 0.15, 0.35, 0.45, 0.25, -0.25, -0.04, 123456.789, 1e-7, -0.0, 0};
        PhraseTable table;
        QStringList stored;
        const int count = m_config.leastPhrases + 1 + below(m_config.maxPhrases - m_config.leastPhrases);
        for (int i = 0; i < count; ++i) {
            QString phrase;
            const int kind = below(10);
            if (kind < 4 && scanText.size() > 0) {
                const qsizetype length = 1 + below(std::min(12, int(scanText.size())));
                const qsizetype start
                    = chance(30) && scanText.size() > 130 ? 110 + below(10) : below(int(scanText.size() - length + 1));
                phrase = scanText.mid(start, length);
            } else if (kind < 6 && !stored.isEmpty()) {
                phrase = changeCase(stored.at(below(int(stored.size()))));
            } else {
                phrase = text(m_config.maxPhrasePieces);
            }
            // The loader trims spaces and skips empty phrases; keep what a definitions file can hold.
            phrase = phrase.trimmed().isEmpty() ? QStringLiteral("a") : phrase;
            while (phrase.startsWith(u' '))
                phrase.remove(0, 1);
            while (phrase.endsWith(u' '))
                phrase.chop(1);
            table.storePhrase(phrase);
            table.setLastWeight(Weights[below(int(std::size(Weights)))]);
            stored.append(phrase);
        }
        return table;
    }

    QString changeCase(const QString& phrase)
    {
        QString changed = phrase;
        for (QChar& c : changed) {
            if (chance(50))
                c = chance(50) ? c.toUpper() : c.toLower();
        }
        return changed;
    }

private:
    const Config& m_config;
    std::mt19937 m_random;
};

// The scan exactly as described for one press, written out step by step with no shortcut: each addition
// writes the score caption and reads it back, every occurrence writes the verdict caption, the percentage
// and the gauge, and the phrase list is searched as a whole. The sessions must show what it shows.
class PlainScan
{
public:
    PlainScan(const QLocale& locale, const PhraseTable& table)
        : m_table(table)
        , m_search(table)
        , m_numbers(locale)
    {
    }

    // The occurrences handled since the results were last reset.
    const std::vector<Occurrence>& log() const { return m_log; }

    void resetResults()
    {
        m_shown.score = QStringLiteral("0.0");
        m_shown.percent = QStringLiteral("%");
        m_phraseList.clear();
        m_log.clear();
    }

    Shown shown() const
    {
        Shown shown = m_shown;
        // The window's list shows each phrase on a line of its own.
        shown.phrases = QString(m_phraseList).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        shown.paused = m_matchPos != 0;
        shown.stepIndex = m_stepIndex;
        shown.matchPos = m_matchPos;
        return shown;
    }

    PressOutcome press(const QString& subject, const QString& body, bool stepThrough)
    {
        PressOutcome outcome;
        const auto blank = [](const QString& text) { return text.count(u' ') == text.size(); };
        if (blank(subject) && blank(body))
            return outcome;
        if (m_matchPos == 0) {
            resetResults();
            updateGauges();
        }
        m_shown.passFail.clear();
        m_shown.last.clear();
        m_shown.status = QStringLiteral("Scanning Email Content");
        const QString text = ScanText::of(subject, body);
        m_search.setText(text);
        for (qsizetype index = m_stepIndex; index < m_table.size(); ++index) {
            const TriggerPhrase& entry = m_table.at(index);
            if (entry.phrase.isEmpty()) {
                m_matchPos = 0;
                continue;
            }
            m_matchPos = m_search.findFirst(index, m_matchPos) + 1;
            if (m_matchPos > 0 && !m_phraseList.contains(entry.phrase, Qt::CaseInsensitive))
                m_phraseList += entry.phrase + QStringLiteral("\r\n");
            int handled = 0;
            bool padded = false;
            while (m_matchPos > 0) {
                Occurrence o;
                o.phraseIndex = index;
                o.phrase = entry.phrase;
                o.position = padded ? m_matchPos + 1 : m_matchPos;
                o.length = entry.phrase.size();
                o.pane = o.position <= 120 ? Pane::Subject : Pane::Body;
                o.start = o.pane == Pane::Subject ? o.position - 1 : o.position - 121;
                addToScore(entry.weight);
                const QStringView found = QStringView(text).mid(o.position - 1, o.length);
                o.inCapitals = std::all_of(found.begin(), found.end(), [](QChar c) { return c >= u'A' && c <= u'Z'; });
                if (o.inCapitals)
                    addToScore(entry.weight);
                o.counts = true;
                o.weightAdded = o.inCapitals ? 2 * entry.weight : entry.weight;
                m_shown.passFail = QStringLiteral("'%1' - %2%3")
                                       .arg(entry.phrase, o.inCapitals ? QStringLiteral("(Bold) ") : QString(),
                                            m_numbers.weight(o.weightAdded));
                m_shown.percent = m_numbers.percent(m_numbers.readScore(m_shown.score)
                                                    / double(subject.size() + body.size()) * 1.2);
                m_shown.last = describe(o);
                updateGauges();
                m_log.push_back(o);
                ++outcome.handled;
                if (stepThrough) {
                    m_stepIndex = qint16(index);
                    m_shown.scanButton = QStringLiteral("Next");
                    outcome.kind = PressOutcome::Kind::Stopped;
                    return outcome;
                }
                m_matchPos = m_search.findPadded(index, m_matchPos) + 1;
                padded = true;
                if (++handled > 10)
                    m_matchPos = 0;
            }
        }
        m_stepIndex = 0;
        m_matchPos = 0;
        m_shown.scanButton = QStringLiteral("Scan");
        m_shown.status = QStringLiteral("Finished Scanning");
        const double value = std::max(m_numbers.readScore(m_shown.score), m_numbers.readPercent(m_shown.percent));
        m_shown.passFail = value < 3 ? QStringLiteral("Pass")
            : value < 5              ? QStringLiteral("Questionable")
                                     : QStringLiteral("Fail");
        outcome.kind = PressOutcome::Kind::Finished;
        return outcome;
    }

private:
    // The window's design caption of the score, "0", stays until its first scan; a session starts at 0.
    static Shown initialShown()
    {
        Shown shown;
        shown.score = QStringLiteral("0.0");
        shown.percent = QStringLiteral("%");
        shown.status = QStringLiteral("Enter your email content below");
        shown.scanButton = QStringLiteral("Scan");
        return shown;
    }

    void addToScore(double weight) { m_shown.score = m_numbers.score(m_numbers.readScore(m_shown.score) + weight); }
    void updateGauges() { m_shown.gauge = ScoreGauge::widthsFor(m_shown.score, m_shown.percent, m_numbers); }

    const PhraseTable& m_table;
    ReferenceSearch m_search;
    CaptionNumbers m_numbers;
    Shown m_shown = initialShown();
    QString m_phraseList;
    std::vector<Occurrence> m_log;
    qint16 m_stepIndex = 0;
    qsizetype m_matchPos = 0;
};

ScanSession::SearchFactory referenceFactory()
{
    return [](const std::shared_ptr<const PhraseIndex>& index) {
        return std::make_unique<ReferenceSearch>(index->table());
    };
}

ScanSession::SearchFactory fastFactory()
{
    return [](const std::shared_ptr<const PhraseIndex>& index) { return std::make_unique<FastSearch>(index); };
}

class DifferentialScanTest : public testing::TestWithParam<Config>
{
};

TEST_P(DifferentialScanTest, FastEngineShowsWhatThePlainSearchShows)
{
    const Config& config = GetParam();
    Generator generate(config, 20261208u + std::uint32_t(qHash(QLatin1String(config.name))));
    int presses = 0;
    const auto started = std::chrono::steady_clock::now();

    for (int c = 0; c < config.cases; ++c) {
        QString subject = ScanText::boxSubject(generate.text(config.maxSubjectPieces));
        QString body = generate.text(config.maxBodyPieces);
        if (generate.chance(10))
            body = body.repeated(1 + generate.below(40));
        const PhraseTable table = generate.table(ScanText::of(subject, body));
        SCOPED_TRACE(QStringLiteral("case %1: subject '%2' body '%3' phrases %4")
                         .arg(c)
                         .arg(subject, body.left(200))
                         .arg(table.size())
                         .toStdString());

        if (config.leastNodes > 0) {
            ASSERT_GT(PhraseIndex(table).automaton().nodeCount(), config.leastNodes);
            // Long phrases of the table in the body lead the walk to the nodes numbered last.
            for (int k = 0; k < 20; ++k)
                body += u' ' + table.at(generate.below(int(table.size()))).phrase;
        }

        const CaptionNumbers numbers(config.locale);
        PlainScan plain(config.locale, table);
        ScanSession reference(config.locale, referenceFactory());
        ScanSession fast(config.locale, fastFactory());
        reference.setDefinitions(table);
        fast.setDefinitions(table);
        reference.keepOccurrences(true);
        bool fastKeeps = false;
        // The occurrences kept since the results were last reset, compared before they are reset again.
        const auto compareKept = [&](const std::string& when) {
            const std::string expectedLog = describe(plain.log());
            ASSERT_EQ(describe(reference.outcome().occurrences), expectedLog)
                << "reference engine's occurrences, " << when;
            if (fastKeeps) {
                ASSERT_EQ(describe(fast.outcome().occurrences), expectedLog) << "fast engine's occurrences, " << when;
            }
        };

        // A normal scan, then a Step Through walk whose texts, list and mode may change between presses,
        // as the Clear buttons and the Step Through box change them.
        bool stepThrough = false;
        for (int press = 0; press < 4000; ++press) {
            // The fast session keeps its occurrences in half the cases only, as the window never asks for them.
            const bool keepsNow = generate.chance(50);
            if (press == 0) {
                fastKeeps = keepsNow;
                fast.keepOccurrences(fastKeeps);
            }
            const PressOutcome expected = plain.press(subject, body, stepThrough);
            const PressOutcome byReference = reference.press(subject, body, stepThrough);
            const PressOutcome actual = fast.press(subject, body, stepThrough);
            ++presses;
            const std::string shown = describe(expected, plain.shown());
            const auto pressName = [&] {
                return "press " + std::to_string(press) + (stepThrough ? " with" : " without") + " Step Through";
            };
            ASSERT_EQ(describe(byReference, shownBy(reference, numbers)), shown) << "reference engine, " << pressName();
            ASSERT_EQ(describe(actual, shownBy(fast, numbers)), shown) << "fast engine, " << pressName();
            if (expected.kind != PressOutcome::Kind::Stopped) {
                ASSERT_NO_FATAL_FAILURE(compareKept(pressName()));
            }
            if (!stepThrough) {
                if (press > 0)
                    break;
                stepThrough = true;
                continue;
            }
            if (!reference.isPaused())
                break;
            if (generate.chance(3)) {
                body = generate.chance(50) ? QString() : generate.text(config.maxBodyPieces);
            } else if (generate.chance(2)) {
                subject = ScanText::boxSubject(generate.text(config.maxSubjectPieces));
            } else if (generate.chance(10)) {
                ASSERT_NO_FATAL_FAILURE(compareKept("before a reset after " + pressName()));
                plain.resetResults();
                reference.resetResults();
                fast.resetResults();
            } else if (generate.chance(1)) {
                stepThrough = false;
            }
        }

        ASSERT_NO_FATAL_FAILURE(compareKept("after the last press"));

        // The engines' own answers for arbitrary starting positions.
        const QString text = ScanText::of(subject, body);
        ReferenceSearch sequential(table);
        const auto index = std::make_shared<const PhraseIndex>(table);
        FastSearch quick(index);
        sequential.setText(text);
        quick.setText(text);
        for (qsizetype index = 0; index < table.size(); ++index) {
            const qsizetype from = generate.below(int(text.size()) + 2);
            ASSERT_EQ(quick.findFirst(index, from), sequential.findFirst(index, from))
                << "phrase " << index << " from " << from;
            ASSERT_EQ(quick.findPadded(index, from), sequential.findPadded(index, from))
                << "phrase " << index << " from " << from;
        }

        // Every occurrence that the window marks, and those of them a scan counts.
        const std::vector<Occurrence> marked = PhraseOccurrences(index).findAll(text);
        for (qsizetype index = 0; index < table.size(); ++index) {
            const QString& phrase = table.at(index).phrase;
            std::vector<qsizetype> expected, starts;
            std::vector<bool> counts;
            for (qsizetype at = phrase.isEmpty() ? -1 : text.indexOf(phrase, 0, Qt::CaseInsensitive); at >= 0;
                 at = text.indexOf(phrase, at + 1, Qt::CaseInsensitive))
                expected.push_back(at);
            for (const Occurrence& occurrence : marked) {
                if (occurrence.phraseIndex == index) {
                    starts.push_back(occurrence.offset());
                    counts.push_back(occurrence.counts);
                }
            }
            ASSERT_EQ(starts, expected) << "phrase " << index;
            PhraseSearch::HandledStarts handled {};
            const int count = sequential.handledOccurrences(index, handled);
            std::vector<bool> counted(starts.size(), false);
            for (int k = 0; k < count; ++k)
                counted[size_t(std::find(starts.begin(), starts.end(), handled[size_t(k)] - 1) - starts.begin())]
                    = true;
            ASSERT_EQ(counts, counted) << "phrase " << index;
        }
    }
    const auto elapsed
        = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
    RecordProperty("cases", config.cases);
    RecordProperty("presses", presses);
    std::printf("%s: %d cases, %d presses compared in %lld ms\n", config.name, config.cases, presses,
                static_cast<long long>(elapsed));
}

INSTANTIATE_TEST_SUITE_P(
    Generated,
    DifferentialScanTest,
    testing::Values(Config {"TinyAlphabet", TinyPieces, 700, 40, 60, 12, 6, QLocale(QLocale::English)},
                    Config {"Unicode", unicodePieces(), 1200, 30, 60, 12, 5, QLocale(QLocale::English)},
                    Config {"Words", WordPieces, 300, 20, 150, 30, 3, QLocale(QLocale::German)},
                    Config {"LongBody", TinyPieces, 150, 40, 700, 8, 9, QLocale(QLocale::English)},
                    Config {"LongUnicodeBody", unicodePieces(), 150, 30, 700, 8, 9, QLocale(QLocale::English)},
                    // More nodes than positions of 16 bits can name: the transition table's cells are wider.
                    Config {"WideTable", WordPieces, 4, 20, 200, 2400, 60, QLocale(QLocale::English), 1600, 32768}),
    [](const testing::TestParamInfo<Config>& info) { return std::string(info.param.name); });

} // namespace

// A table without phrases holds one empty entry; both engines give it the same answers at every start,
// the padded search looking for two spaces as the plain search does.
TEST(EngineAnswers, EmptyEntryOfATableWithoutPhrases)
{
    const PhraseTable table;
    const QString text = QStringLiteral("  a  ") + QString(115, u' ') + QStringLiteral("b ");
    ReferenceSearch sequential(table);
    FastSearch quick(std::make_shared<const PhraseIndex>(table));
    sequential.setText(text);
    quick.setText(text);
    for (qsizetype from = 0; from <= text.size() + 1; ++from) {
        ASSERT_EQ(quick.findFirst(0, from), sequential.findFirst(0, from)) << "from " << from;
        ASSERT_EQ(quick.findPadded(0, from), sequential.findPadded(0, from)) << "from " << from;
    }
}
