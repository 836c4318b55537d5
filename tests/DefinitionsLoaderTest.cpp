#include "scanner/DefinitionsLoader.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale German(QLocale::German, QLocale::Germany);

struct Entry
{
    QString phrase;
    double weight;
};

std::vector<Entry> entriesOf(const PhraseTable& table)
{
    std::vector<Entry> entries;
    for (const TriggerPhrase& entry : table)
        entries.push_back({entry.phrase, entry.weight});
    return entries;
}

void expectEntries(const PhraseTable& table, const std::vector<Entry>& expected)
{
    const std::vector<Entry> actual = entriesOf(table);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].phrase, expected[i].phrase);
        EXPECT_DOUBLE_EQ(actual[i].weight, expected[i].weight);
    }
}

} // namespace

TEST(DefinitionsLoader, LineEndsAndDefinitionLineRules)
{
    struct Case
    {
        const char* name;
        QByteArray contents;
        std::vector<Entry> entries;
    };
    const std::vector<Case> cases = {
        {"CR LF line ends", "h\t1\r\nfree money\t2.5\r\nact now\t1\r\n", {{"free money", 2.5}, {"act now", 1}}},
        {"CR line ends", "h\t1\rfree money\t2.5\ract now\t1\r", {{"free money", 2.5}, {"act now", 1}}},
        {"last line without a line end", "h\t1\r\nfree\t2", {{"free", 2}}},
        {"a lone LF inside a line belongs to the line", "h\t1\rfree\nmoney\t2\r", {{"free\nmoney", 2}}},
        {"spaces trimmed around phrase and weight", "h\t1\r\n  Act now  \t  1  \r\n", {{"Act now", 1}}},
        {"space before the TAB", "h\t1\r\nfree  \t2\r\n", {{"free", 2}}},
        {"space after the TAB", "h\t1\r\nfree\t 2\r\n", {{"free", 2}}},
        {"only spaces are trimmed", "h\t1\r\n\vfree\f\t2\r\n", {{"\vfree\f", 2}}},
        {"blank lines, lines without a TAB, space-only phrases with bad weights are skipped",
         "h\t1\r\n\r\n[Money]\r\n   \tnot a number\r\nfree\t2\r\n\tjunk\r\n",
         {{"free", 2}}},
        {"duplicates give separate entries", "h\t1\r\nfree\t1\r\nfree\t2\r\n", {{"free", 1}, {"free", 2}}},
        {"negative weights are accepted", "h\t1\r\npenalty\t-1.5\r\n", {{"penalty", -1.5}}},
        {"a million either way is within the limit",
         "h\t1\r\nbig\t1000000\r\nsmall\t-1000000\r\n",
         {{"big", 1'000'000}, {"small", -1'000'000}}},
        {"grouped and signed weights", "h\t1\r\nbig\t1,234.5\r\nplus\t+2\r\n", {{"big", 1234.5}, {"plus", 2}}},
        {"whatever follows the header's TAB plays no part", "x\ty\tz\r\nfree\t1\r\n", {{"free", 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedDefinitions loaded = parseDefinitions(c.contents, English);
        EXPECT_FALSE(loaded.fault.has_value());
        expectEntries(loaded.table, c.entries);
    }
}

TEST(DefinitionsLoader, FaultsStopReadingAndKeepWhatWasRead)
{
    struct Case
    {
        const char* name;
        QByteArray contents;
        int line;
        QString reason;
        std::vector<Entry> entries;
    };
    QByteArray tooMany = "h\t1\r\n";
    for (int i = 0; i <= PhraseTable::MaxEntries; ++i)
        tooMany += "p" + QByteArray::number(i) + "\t1\r\n";

    const std::vector<Case> cases = {
        {"empty file", "", 1, "the file is empty", {{"", 0}}},
        {"header without a TAB", "Definitions 1.2\r\nfree\t1\r\n", 1, "the header line has no TAB", {{"", 0}}},
        {"header only", "h\t1\r\n\r\nno tab\r\n", 0, "the file contains no trigger phrases", {{"", 0}}},
        {"a lone LF does not end a line: one header line and no phrase",
         "h\t1\nfree\t2\nact now\t1\n",
         0,
         "the file contains no trigger phrases (its lines end with a line feed alone; they must end with CR LF or CR)",
         {{"", 0}}},
        {"weight not a number: the phrase stays with weight 0, later lines are not read",
         "h\t1\r\nfree\t1\r\nact now\tabc\r\nlater\t2\r\n",
         3,
         "the weight \"abc\" is not a number",
         {{"free", 1}, {"act now", 0}}},
        {"further TABs belong to the weight text",
         "h\t1\r\na\t1\t2\r\n",
         2,
         "the weight \"1\t2\" is not a number",
         {{"a", 0}}},
        {"empty weight", "h\t1\r\nfree\t  \r\n", 2, "the weight \"\" is not a number", {{"free", 0}}},
        {"infinite weight", "h\t1\r\nfree\tinf\r\n", 2, "the weight \"inf\" is not a number", {{"free", 0}}},
        {"weight beyond a million",
         "h\t1\r\nfree\t1000000.5\r\n",
         2,
         "the weight \"1000000.5\" is out of range (at most 1,000,000 either way)",
         {{"free", 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LoadedDefinitions loaded = parseDefinitions(c.contents, English);
        ASSERT_TRUE(loaded.fault.has_value());
        EXPECT_EQ(loaded.fault->line, c.line);
        EXPECT_EQ(loaded.fault->reason, c.reason);
        expectEntries(loaded.table, c.entries);
    }

    SCOPED_TRACE("more phrases than the table can index");
    const LoadedDefinitions loaded = parseDefinitions(tooMany, English);
    ASSERT_TRUE(loaded.fault.has_value());
    EXPECT_EQ(loaded.fault->line, PhraseTable::MaxEntries + 2);
    EXPECT_EQ(loaded.fault->reason, "more than 32,768 trigger phrases");
    EXPECT_EQ(loaded.table.size(), PhraseTable::MaxEntries);
    EXPECT_EQ(loaded.table.at(PhraseTable::MaxEntries - 1).phrase, "p32767");
}

TEST(DefinitionsLoader, WeightsReadByTheLocaleAndByInvariantRules)
{
    struct Case
    {
        QLocale locale;
        QByteArray weight;
        double expected;
    };
    const std::vector<Case> cases = {
        {German, "2,5", 2.5},
        {German, "2.5", 2.5},
        {German, "1.234,5", 1234.5},
        {German, "-0.5", -0.5},
        {German, "0.125", 0.125},
        {German, "2.000", 2},
        {German, "-1.5", -1.5},
        {English, "2.5", 2.5},
        {English, "1,234.5", 1234.5},
        {English, ".5", 0.5},
        {English, "-3", -3},
        {German, "+.5", 0.5},
        {German, "5.", 5},
        {English, "0.30000000000000004", 0.30000000000000004},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString() + " " + c.weight.toStdString());
        const LoadedDefinitions loaded = parseDefinitions("h\t1\r\nfree\t" + c.weight + "\r\n", c.locale);
        EXPECT_FALSE(loaded.fault.has_value());
        EXPECT_EQ(loaded.table.at(0).weight, c.expected);
    }

    SCOPED_TRACE("a comma is no decimal point where the locale's is a dot");
    const LoadedDefinitions loaded = parseDefinitions("h\t1\r\nfree\t2,5\r\n", English);
    ASSERT_TRUE(loaded.fault.has_value());
    EXPECT_EQ(loaded.fault->line, 2);
}

TEST(DefinitionsLoader, ReadsFilesAndNamesTheFileInFaults)
{
    const LoadedDefinitions missing = loadDefinitionsFile("/nonexistent/Definitions.dat", English);
    ASSERT_TRUE(missing.fault.has_value());
    EXPECT_EQ(missing.fault->line, 0);
    EXPECT_TRUE(missing.fault->describe("/nonexistent/Definitions.dat")
                    .startsWith("/nonexistent/Definitions.dat: the file cannot be opened"));
    EXPECT_EQ(missing.table.size(), 1);
    EXPECT_FALSE(missing.table.hasPhrases());

    QTemporaryDir dir;
    const QString path = definitionsPathIn(dir.path());
    EXPECT_EQ(path, dir.path() + "/Definitions.dat");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("h\t1\r\nfree\t1\r\nbad\tx\r\n");
    file.close();
    const LoadedDefinitions loaded = loadDefinitionsFile(path, English);
    ASSERT_TRUE(loaded.fault.has_value());
    EXPECT_EQ(loaded.fault->describe(path), path + ", line 3: the weight \"x\" is not a number");
}

// The shipped list: it loads alike in every locale, and each line is a phrase a writer could write
// (at most six words, no address or link), under a group heading, with a positive weight of one decimal;
// none penalises the lines that legitimate bulk mail must carry (how to stop it, why it came, where from).
TEST(DefinitionsLoader, ShippedDefinitionsAreWritersPhrasesWithOneDecimalWeights)
{
    const QString path = QStringLiteral(TALLYVEX_SOURCE_DIR "/resources/Definitions.dat");
    const LoadedDefinitions english = loadDefinitionsFile(path, English);
    const LoadedDefinitions german = loadDefinitionsFile(path, German);
    ASSERT_FALSE(english.fault.has_value()) << english.fault->describe(path).toStdString();
    ASSERT_FALSE(german.fault.has_value()) << german.fault->describe(path).toStdString();
    ASSERT_EQ(english.table.size(), german.table.size());
    for (qsizetype i = 0; i < english.table.size(); ++i)
        EXPECT_EQ(english.table.at(i).weight, german.table.at(i).weight) << english.table.at(i).phrase.toStdString();

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    const QRegularExpression oneDecimal(QStringLiteral("^[0-9]+\\.[0-9]$"));
    const QRegularExpression addressOrLink(QStringLiteral("@|://|www\\.|\\.(com|net|org|edu|gov|info|biz|co|uk|de)\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression requiredLine(
        QStringLiteral(
            "subscri|remov|opt.?(out|in)\\b|mailing list|receiving th|signed up|privacy|postal|p\\.?o\\.? box"),
        QRegularExpression::CaseInsensitiveOption);
    QSet<QString> seen;
    bool inGroup = false;
    for (const QString& line : lines.mid(1)) {
        if (line.startsWith(u'[') && line.endsWith(u']'))
            inGroup = true;
        if (!line.contains(u'\t'))
            continue;
        SCOPED_TRACE(line.toStdString());
        const QString phrase = line.section(u'\t', 0, 0);
        const QString weight = line.section(u'\t', 1);
        EXPECT_TRUE(inGroup) << "a phrase before the first group heading";
        EXPECT_TRUE(oneDecimal.match(weight).hasMatch()) << "weight not of one decimal";
        EXPECT_GT(weight.toDouble(), 0.0);
        EXPECT_EQ(phrase, phrase.trimmed());
        EXPECT_LE(phrase.split(u' ', Qt::SkipEmptyParts).size(), 6) << "more than six words";
        EXPECT_FALSE(addressOrLink.match(phrase).hasMatch()) << "an address or a link";
        EXPECT_FALSE(requiredLine.match(phrase).hasMatch()) << "wording that legitimate bulk mail must carry";
        EXPECT_FALSE(seen.contains(phrase.toCaseFolded())) << "duplicate phrase";
        seen.insert(phrase.toCaseFolded());
    }
    EXPECT_EQ(seen.size(), english.table.size());
    EXPECT_LE(seen.size(), 1000);
}
