#include "messagefile/MessageFile.h"
#include "scanner/DefinitionsLoader.h"
#include "scanner/FastSearch.h"
#include "scanner/PhraseTable.h"
#include "scanner/ScanSession.h"
#include "scanner/ScanText.h"
#include "support/ReferenceSearch.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <malloc.h>

#include <random>
#include <string_view>

#ifdef TALLYVEX_HAVE_HYPERSCAN
#include <hs/hs.h>
#endif

// The scan workloads, each measured with the fast engine and, where it finishes in reasonable time, with
// the plain sequential search. scripts/bench turns the results into the table of docs/performance.md.
namespace {

struct Message
{
    QString subject;
    QString body;
};

Message readExample(const QString& name)
{
    QFile file(QStringLiteral(TALLYVEX_SOURCE_DIR "/examples/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read the example %s", qPrintable(name));
    const QString text = QString::fromUtf8(file.readAll());
    const qsizetype blank = text.indexOf(QStringLiteral("\n\n"));
    return {text.first(text.indexOf(u'\n')).remove(QStringLiteral("Subject: ")), text.sliced(blank + 2)};
}

// A realistic body of the given length: the sales mailing and the business update, repeated.
Message realisticMessage(qsizetype length)
{
    const Message sales = readExample(QStringLiteral("unsolicited.txt"));
    const Message update = readExample(QStringLiteral("legitimate.txt"));
    QString body;
    while (body.size() < length)
        body += sales.body + update.body;
    return {sales.subject, body.first(length)};
}

// Writes `bytes` to `path` for a process or loader to read; a benchmark without its input cannot run.
void writeInput(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

PhraseTable shippedDefinitions()
{
    LoadedDefinitions loaded
        = loadDefinitionsFile(QStringLiteral(TALLYVEX_SOURCE_DIR "/resources/Definitions.dat"), QLocale::c());
    if (loaded.fault)
        qFatal("cannot load the shipped definitions");
    return loaded.table;
}

// `count` phrases of one to three words, half of them made of the message's own words, half invented.
PhraseTable generatedPhrases(int count, const QString& vocabularySource)
{
    QStringList vocabulary;
    QSet<QString> seen;
    static const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
    for (auto it = word.globalMatch(vocabularySource); it.hasNext();) {
        const QString w = it.next().captured().toLower();
        if (!seen.contains(w)) {
            seen.insert(w);
            vocabulary.append(w);
        }
    }
    std::mt19937 random(1208);
    const auto below = [&random](int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random); };
    PhraseTable table;
    for (int i = 0; i < count; ++i) {
        QStringList words;
        const int length = 1 + below(3);
        for (int w = 0; w < length; ++w) {
            if (i % 2 == 0) {
                words.append(vocabulary.at(below(int(vocabulary.size()))));
            } else {
                QString invented;
                for (int c = 3 + below(6); c > 0; --c)
                    invented += QChar(u'a' + below(26));
                words.append(invented);
            }
        }
        table.storePhrase(words.join(u' '));
        table.setLastWeight(0.5 * (1 + below(6)));
    }
    return table;
}

// The heap in use, the blocks that malloc maps on their own (the automaton's large arrays) included.
double heapMiB()
{
    const struct mallinfo2 heap = mallinfo2();
    return double(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
}

ScanSession::SearchFactory engine(bool fast)
{
    if (fast)
        return [](const std::shared_ptr<const PhraseIndex>& index) { return std::make_unique<FastSearch>(index); };
    return [](const std::shared_ptr<const PhraseIndex>& index) {
        return std::make_unique<ReferenceSearch>(index->table());
    };
}

void runScans(benchmark::State& state, const PhraseTable& table, const Message& message, bool fast)
{
    ScanSession session(QLocale::c(), engine(fast));
    session.setDefinitions(table);
    qsizetype occurrences = 0;
    for (auto _ : state) {
        const PressOutcome outcome = session.press(message.subject, message.body, false);
        occurrences = outcome.handled;
        benchmark::DoNotOptimize(outcome);
    }
    state.counters["occurrences"] = double(occurrences);
    state.counters["phrases"] = double(table.size());
    state.counters["text_chars"] = double(ScanText::of(message.subject, message.body).size());
}

void W1(benchmark::State& state)
{
    static const PhraseTable table = shippedDefinitions();
    static const Message message = realisticMessage(5 * 1024);
    runScans(state, table, message, state.range(0) != 0);
}

// The engine alone: the text folded and walked, and each phrase's first occurrence asked for.
void engineOnly(benchmark::State& state, const PhraseTable& table, const Message& message)
{
    const QString text = ScanText::of(message.subject, message.body);
    FastSearch search(std::make_shared<const PhraseIndex>(table));
    for (auto _ : state) {
        search.setText(text);
        for (qsizetype index = 0; index < table.size(); ++index)
            benchmark::DoNotOptimize(search.findFirst(index, 0));
    }
}

void W1Engine(benchmark::State& state)
{
    static const PhraseTable table = shippedDefinitions();
    static const Message message = realisticMessage(5 * 1024);
    engineOnly(state, table, message);
}

void W2(benchmark::State& state)
{
    static const Message message = realisticMessage(5 * 1024);
    static const PhraseTable table = generatedPhrases(32768, message.body);
    runScans(state, table, message, state.range(0) != 0);
}

void W2Engine(benchmark::State& state)
{
    static const Message message = realisticMessage(5 * 1024);
    static const PhraseTable table = generatedPhrases(32768, message.body);
    engineOnly(state, table, message);
}

void W3(benchmark::State& state)
{
    static const Message message = realisticMessage(1024 * 1024);
    static const PhraseTable table = generatedPhrases(1000, message.body.first(5 * 1024));
    runScans(state, table, message, state.range(0) != 0);
}

void W4(benchmark::State& state)
{
    static const Message message = realisticMessage(1024 * 1024);
    static const PhraseTable table = generatedPhrases(32768, message.body.first(5 * 1024));
    runScans(state, table, message, true);
}

// Building the automaton for W4's table, and the heap that the engine holds once it has scanned W4's text.
void W4Build(benchmark::State& state)
{
    static const Message message = realisticMessage(1024 * 1024);
    static const PhraseTable table = generatedPhrases(32768, message.body.first(5 * 1024));
    for (auto _ : state) {
        FastSearch search(std::make_shared<const PhraseIndex>(table));
        benchmark::DoNotOptimize(search);
    }
    const double before = heapMiB();
    {
        const auto index = std::make_shared<const PhraseIndex>(table);
        auto search = std::make_unique<FastSearch>(index);
        const QString text = ScanText::of(message.subject, message.body);
        search->setText(text);
        state.counters["engine_MiB"] = heapMiB() - before;
        state.counters["nodes"] = double(index->automaton().nodeCount());
    }
}

void W5(benchmark::State& state)
{
    static const Message message {QString(), QString(200000, u'a')};
    static const PhraseTable table = [] {
        PhraseTable runs;
        for (int length = 1; length <= 200; ++length) {
            runs.storePhrase(QString(length, u'a'));
            runs.setLastWeight(1);
        }
        return runs;
    }();
    runScans(state, table, message, state.range(0) != 0);
}

// tallyvex-scan as a whole process on a 6.5 KB message with the shipped definitions.
void W7(benchmark::State& state)
{
    QTemporaryDir folder;
    const Message message = realisticMessage(6656);
    const QString bodyPath = folder.filePath(QStringLiteral("message.txt"));
    writeInput(bodyPath, message.body.toUtf8());

    const bool spamFilter = state.range(0) != 0;
    const QString program = spamFilter ? QStandardPaths::findExecutable(QStringLiteral("spamassassin"))
                                       : QStringLiteral(TALLYVEX_BIN_DIR "/tallyvex-scan");
    if (program.isEmpty()) {
        state.SkipWithError("spamassassin is not installed");
        return;
    }
    const QStringList arguments = spamFilter ? QStringList {QStringLiteral("-L"), QStringLiteral("-t")}
                                             : QStringList {QStringLiteral("-s"), message.subject, bodyPath};
    for (auto _ : state) {
        QProcess process;
        if (spamFilter)
            process.setStandardInputFile(bodyPath);
        process.start(program, arguments);
        process.waitForFinished(-1);
        if (process.exitStatus() != QProcess::NormalExit)
            state.SkipWithError("the process crashed");
    }
}

// tallyvex-scan as a whole process on 1 MB of the sample messages, scanned normally and stepped through
// stop by stop (every occurrence of every phrase, printed).
void W8(benchmark::State& state)
{
    QTemporaryDir folder;
    const Message message = realisticMessage(1024 * 1024);
    const QString bodyPath = folder.filePath(QStringLiteral("message.txt"));
    writeInput(bodyPath, message.body.toUtf8());
    QStringList arguments {QStringLiteral("-s"), message.subject, bodyPath};
    if (state.range(0) != 0)
        arguments.prepend(QStringLiteral("--step"));
    qsizetype lines = 0;
    for (auto _ : state) {
        QProcess process;
        process.start(QStringLiteral(TALLYVEX_BIN_DIR "/tallyvex-scan"), arguments);
        process.waitForFinished(-1);
        if (process.exitStatus() != QProcess::NormalExit)
            state.SkipWithError("the process crashed");
        lines = process.readAllStandardOutput().count('\n');
    }
    state.counters["output_lines"] = double(lines);
}

// 32,768 phrases of 1,000 characters (33 MB of definitions): the file loaded and the automaton built, as
// the window and tallyvex-scan do at start-up.
void W9(benchmark::State& state)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Definitions.dat"));
    if (!QFile::exists(path)) {
        const Message message = realisticMessage(5 * 1024);
        QStringList vocabulary;
        static const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
        for (auto it = word.globalMatch(message.body); it.hasNext();)
            vocabulary.append(it.next().captured().toLower());
        std::mt19937 random(1208);
        QByteArray text = "Tallyvex definitions\t1.2\r\n\r\n[Long phrases]\r\n";
        for (int i = 0; i < 32768; ++i) {
            QString phrase;
            while (phrase.size() < 1000)
                phrase
                    += vocabulary.at(std::uniform_int_distribution<qsizetype>(0, vocabulary.size() - 1)(random)) + u' ';
            text += phrase.first(999).toUtf8() + "x\t0.5\r\n";
        }
        writeInput(path, text);
    }
    qsizetype characters = 0;
    for (auto _ : state) {
        LoadedDefinitions loaded = loadDefinitionsFile(path, QLocale::c());
        const double before = heapMiB();
        FastSearch search(std::make_shared<const PhraseIndex>(loaded.table));
        // What the engine holds on the heap once built: the automaton, and its small tables per phrase.
        const double bytes = (heapMiB() - before) * 1024.0 * 1024.0;
        characters = 0;
        for (const TriggerPhrase& entry : loaded.table)
            characters += entry.phrase.size();
        state.counters["automaton_bytes_per_char"] = bytes / double(characters);
        benchmark::DoNotOptimize(search);
    }
    state.counters["phrase_chars"] = double(characters);
}

// W10, prose: 1 MiB of running English text that does not repeat (the documentation of Perl that Debian's
// perl-doc installs, its directives and code blocks left out, its formatting codes reduced to their
// text), against 32,768 phrases of one to four words in mixed case: half of them word sequences cut from
// the text, half random combinations of its words. Unlike W4's repeated sample, a walk over it meets
// ever new parts of the automaton.
struct ProseWorkload
{
    QString text;
    PhraseTable table;
};

QString runningText(const QString& pod)
{
    // Paragraphs are separated by blank lines; a directive starts with "=", a code block with a space.
    static const QRegularExpression blank(QStringLiteral("\\n[ \\t]*\\n"));
    static const QRegularExpression code(QStringLiteral("[BCIFSLXZE]<+ *([^<>]*?) *>+"));
    QString text;
    bool inDocumentation = true;
    for (QString paragraph : pod.split(blank, Qt::SkipEmptyParts)) {
        if (paragraph.startsWith(u'\n'))
            paragraph.remove(0, 1);
        if (paragraph.startsWith(QStringLiteral("=begin")) || paragraph.startsWith(QStringLiteral("=for")))
            inDocumentation = false;
        if (paragraph.startsWith(QStringLiteral("=end"))) {
            inDocumentation = true;
            continue;
        }
        if (!inDocumentation || paragraph.startsWith(u'=') || paragraph.startsWith(u' ') || paragraph.startsWith(u'\t'))
            continue;
        // Nested codes (B<C<x>>) give way from the inside out.
        for (qsizetype before = -1; before != paragraph.size();) {
            before = paragraph.size();
            paragraph.replace(code, QStringLiteral("\\1"));
        }
        text += paragraph.simplified() + u'\n';
    }
    return text;
}

const ProseWorkload& proseWorkload()
{
    static const ProseWorkload workload = [] {
        constexpr qsizetype Size = 1024 * 1024;
        ProseWorkload prose;
        QStringList folders = QDir(QStringLiteral("/usr/share/perl")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        folders.sort();
        const QDir pods(QStringLiteral("/usr/share/perl/") + (folders.isEmpty() ? QString() : folders.last())
                        + QStringLiteral("/pod"));
        for (const QString& name : pods.entryList({QStringLiteral("*.pod")}, QDir::Files, QDir::Name)) {
            QFile file(pods.filePath(name));
            if (prose.text.size() >= Size || !file.open(QIODevice::ReadOnly))
                continue;
            prose.text += runningText(QString::fromUtf8(file.readAll()));
        }
        if (prose.text.size() < Size)
            return prose;
        prose.text.truncate(Size);

        static const QRegularExpression word(QStringLiteral("[A-Za-z]+(?:'[a-z]+)?"));
        QStringList words;
        for (auto it = word.globalMatch(prose.text); it.hasNext();)
            words.append(it.next().captured());
        QStringList vocabulary = words;
        vocabulary.sort(Qt::CaseInsensitive);
        vocabulary.erase(
            std::unique(vocabulary.begin(), vocabulary.end(),
                        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }),
            vocabulary.end());
        std::mt19937 random(1610);
        const auto below
            = [&random](qsizetype bound) { return std::uniform_int_distribution<qsizetype>(0, bound - 1)(random); };
        const auto mixedCase = [&below](QString w) {
            switch (below(4)) {
            case 0:
                return w.toUpper();
            case 1:
                return w.left(1).toUpper() + w.mid(1).toLower();
            default:
                return w.toLower();
            }
        };
        // Distinct phrases, as in a definitions file: the text's most frequent words would otherwise come
        // up hundreds of times.
        QSet<QString> seen;
        for (int i = 0; seen.size() < 32768; ++i) {
            const qsizetype length = 1 + below(4);
            const qsizetype from = below(words.size() - length);
            QStringList phrase;
            for (qsizetype w = 0; w < length; ++w)
                phrase.append(mixedCase(i % 2 == 0 ? words.at(from + w) : vocabulary.at(below(vocabulary.size()))));
            const QString joined = phrase.join(u' ');
            if (seen.contains(joined.toLower()))
                continue;
            seen.insert(joined.toLower());
            prose.table.storePhrase(joined);
            prose.table.setLastWeight(0.5 * double(1 + below(6)));
        }
        return prose;
    }();
    return workload;
}

bool proseAvailable(benchmark::State& state)
{
    if (proseWorkload().table.size() == 0)
        state.SkipWithError("the prose needs Debian's perl-doc (/usr/share/perl/*/pod)");
    return proseWorkload().table.size() != 0;
}

// The engine alone over the prose: the text folded and walked, every phrase's first occurrence and the
// occurrences padded with spaces kept, each phrase's first occurrence asked for.
void W10Engine(benchmark::State& state)
{
    if (!proseAvailable(state))
        return;
    FastSearch search(std::make_shared<const PhraseIndex>(proseWorkload().table));
    std::int64_t found = 0;
    for (auto _ : state) {
        search.setText(proseWorkload().text);
        found = 0;
        for (qsizetype index = 0; index < proseWorkload().table.size(); ++index)
            found += search.findFirst(index, 0) >= 0;
    }
    state.counters["phrases_found"] = double(found);
    state.counters["text_chars"] = double(proseWorkload().text.size());
}

// A whole press of "Scan" over the prose.
void W10(benchmark::State& state)
{
    if (proseAvailable(state))
        runScans(state, proseWorkload().table, {QString(), proseWorkload().text}, true);
}

// Building the automaton for the prose's phrases, and the heap the engine holds after scanning the prose.
void W10Build(benchmark::State& state)
{
    if (!proseAvailable(state))
        return;
    const PhraseTable& table = proseWorkload().table;
    for (auto _ : state) {
        FastSearch search(std::make_shared<const PhraseIndex>(table));
        benchmark::DoNotOptimize(search);
    }
    const double before = heapMiB();
    const auto index = std::make_shared<const PhraseIndex>(table);
    auto search = std::make_unique<FastSearch>(index);
    search->setText(proseWorkload().text);
    state.counters["engine_MiB"] = heapMiB() - before;
    state.counters["nodes"] = double(index->automaton().nodeCount());
}

bool writeProse(const QString& folder)
{
    const ProseWorkload& prose = proseWorkload();
    if (prose.table.size() == 0) {
        qWarning("the prose needs Debian's perl-doc (/usr/share/perl/*/pod)");
        return false;
    }
    QByteArray definitions = "Tallyvex definitions\t1.2\r\n\r\n[Prose]\r\n";
    for (const TriggerPhrase& entry : prose.table)
        definitions += entry.phrase.toUtf8() + '\t' + QByteArray::number(entry.weight, 'f', 1) + "\r\n";
    writeInput(folder + QStringLiteral("/prose.dat"), definitions);
    writeInput(folder + QStringLiteral("/prose.txt"), prose.text.toUtf8());
    return true;
}

#ifdef TALLYVEX_HAVE_HYPERSCAN
// The same phrases as one set of caseless literals in Hyperscan's block mode, every match reported: the
// reference that W10Engine is measured against.
void W10Hyperscan(benchmark::State& state)
{
    if (!proseAvailable(state))
        return;
    std::vector<QByteArray> literals;
    for (const TriggerPhrase& entry : proseWorkload().table)
        literals.push_back(entry.phrase.toUtf8());
    std::vector<const char*> expressions;
    std::vector<std::size_t> lengths;
    std::vector<unsigned> flags(literals.size(), HS_FLAG_CASELESS);
    std::vector<unsigned> ids;
    for (const QByteArray& literal : literals) {
        expressions.push_back(literal.constData());
        lengths.push_back(std::size_t(literal.size()));
        ids.push_back(unsigned(ids.size()));
    }
    hs_database_t* database = nullptr;
    hs_compile_error_t* error = nullptr;
    if (hs_compile_lit_multi(expressions.data(), flags.data(), ids.data(), lengths.data(), unsigned(literals.size()),
                             HS_MODE_BLOCK, nullptr, &database, &error)
        != HS_SUCCESS) {
        state.SkipWithError(error->message);
        hs_free_compile_error(error);
        return;
    }
    hs_scratch_t* scratch = nullptr;
    hs_alloc_scratch(database, &scratch);
    const QByteArray text = proseWorkload().text.toUtf8();
    std::int64_t matches = 0;
    const auto count = [](unsigned, unsigned long long, unsigned long long, unsigned, void* context) {
        ++*static_cast<std::int64_t*>(context);
        return 0;
    };
    for (auto _ : state) {
        matches = 0;
        hs_scan(database, text.constData(), unsigned(text.size()), 0, scratch, count, &matches);
    }
    state.counters["matches"] = double(matches);
    hs_free_scratch(scratch);
    hs_free_database(database);
}
#endif

// W11: an HTML page on one line, as minified templates are, read as tallyvex-scan reads it (the text a
// reader sees, the title, and where each character of the text lies in the page), at 300 KB and at 10 MB.
// A reader that is linear in the page takes the same time per byte at both sizes.
void W11(benchmark::State& state)
{
    const qsizetype size = state.range(0) * 1024;
    const Message message = realisticMessage(64 * 1024);
    QByteArray page = "<html><head><title>" + message.subject.toHtmlEscaped().toUtf8() + "</title></head><body>";
    const QStringList paragraphs = message.body.split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
    for (qsizetype i = 0; page.size() < size; ++i) {
        const QString paragraph = paragraphs.at(i % paragraphs.size()).toHtmlEscaped();
        page += "<div class=\"row\"><p>" + paragraph.toUtf8().replace('\n', "<br>") + "</p>&nbsp;</div>";
    }
    page += "</body></html>";
    if (page.contains('\n'))
        qFatal("the page must be one line");
    for (auto _ : state) {
        const LocatedMessage located = readLocatedMessage(page, MessageFormat::Html);
        if (!located.text.isValid())
            state.SkipWithError("the page could not be read");
        benchmark::DoNotOptimize(located);
    }
    state.counters["page_bytes"] = double(page.size());
}

} // namespace

BENCHMARK(W1)->ArgName("fast")->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(W1Engine)->Unit(benchmark::kMicrosecond);
BENCHMARK(W2)->ArgName("fast")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(W2Engine)->Unit(benchmark::kMillisecond);
BENCHMARK(W3)->ArgName("fast")->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(W3)->ArgName("fast")->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(W4)->Unit(benchmark::kMillisecond);
BENCHMARK(W4Build)->Unit(benchmark::kMillisecond);
BENCHMARK(W5)->ArgName("fast")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(W7)->ArgName("spamfilter")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

BENCHMARK(W8)->ArgName("step")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(W9)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(W10Engine)->Unit(benchmark::kMillisecond);
#ifdef TALLYVEX_HAVE_HYPERSCAN
BENCHMARK(W10Hyperscan)->Unit(benchmark::kMillisecond);
#endif
BENCHMARK(W10)->Unit(benchmark::kMillisecond);
BENCHMARK(W10Build)->Unit(benchmark::kMillisecond);
BENCHMARK(W11)->ArgName("KB")->Arg(300)->Arg(10240)->Unit(benchmark::kMillisecond);

// `tallyvex-bench --write-prose DIR` writes the prose workload for the whole-process measurements of
// scripts/bench instead of benchmarking: DIR/prose.txt (the text, UTF-8) and DIR/prose.dat (its phrases as a
// definitions file), so that tallyvex-scan and the Hyperscan harness read the same text and phrases.
int main(int argc, char* argv[])
{
    if (argc == 3 && std::string_view(argv[1]) == "--write-prose")
        return writeProse(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
