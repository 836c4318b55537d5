#include "mainwindow/MainForm.h"
#include "mainwindow/PhraseHighlighter.h"
#include "mainwindow/SkinRegion.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegion>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include <functional>

#include <sys/resource.h>

// The window's workloads, on the offscreen platform: W6 cuts the window outline from the committed skin;
// WindowScan pastes a 10 MB body into the body box of the real window and presses "Scan", measured until
// the results are painted; WindowOneLine and WindowTyping put long one-line bodies into the box.
namespace {

void W6(benchmark::State& state)
{
    const QImage skin = QImageReader(QStringLiteral(":/skin.bmp")).read();
    if (skin.isNull()) {
        state.SkipWithError("the skin cannot be read");
        return;
    }
    for (auto _ : state) {
        QRegion region = buildSkinRegion(skin);
        benchmark::DoNotOptimize(region);
    }
}

// The two sample messages, repeated to the given size; on one line when asked (their line breaks turned
// into spaces), as a message pasted from a program that never breaks its lines would be.
QString sampleBody(qsizetype megabytes, bool oneLine = false)
{
    QString body;
    for (const char* name : {"unsolicited.txt", "legitimate.txt"}) {
        QFile file(QStringLiteral(TALLYVEX_SOURCE_DIR "/examples/") + QLatin1String(name));
        if (file.open(QIODevice::ReadOnly))
            body += QString::fromUtf8(file.readAll());
    }
    if (oneLine)
        body.replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
    const qsizetype length = megabytes * 1024 * 1024;
    return body.repeated(length / body.size() + 1).first(length);
}

double peakMebibytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

double elapsedMilliseconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The real main window with the shipped definitions, shown, and its controls by name. A benchmark asks
// for its controls, then whether all were found; if not, it is skipped with the reason.
class ShownWindow
{
public:
    ShownWindow()
        : form(QStringLiteral(TALLYVEX_SOURCE_DIR "/resources/Definitions.dat"), QLocale(QLocale::English))
    {
        form.show();
    }

    template <typename Control>
    Control* control(const char* name)
    {
        auto* found = form.findChild<Control*>(QString::fromLatin1(name));
        m_complete = m_complete && found;
        return found;
    }

    bool ready(benchmark::State& state) const
    {
        if (!m_complete)
            state.SkipWithError("the window's controls are missing");
        return m_complete;
    }

    MainForm form;

private:
    bool m_complete = true;
};

void WindowScan(benchmark::State& state)
{
    ShownWindow window;
    auto* body = window.control<QPlainTextEdit>("tbInput");
    auto* scan = window.control<QPushButton>("cmdScore");
    auto* verdict = window.control<QLabel>("lblPassFail");
    if (!window.ready(state))
        return;
    QElapsedTimer paste;
    paste.start();
    body->setPlainText(sampleBody(10));
    QApplication::processEvents();
    state.counters["paste_ms"] = double(paste.nsecsElapsed()) / 1e6;

    for (auto _ : state) {
        scan->click();
        QApplication::processEvents();
    }
    state.counters["phrases_listed"] = double(window.form.session().outcome().phrases.phrases().size());
    state.SetLabel(verdict->text().toStdString());
}

// A body of the given size on one line: "Paste" pressed with it on the clipboard, then "Scan", each
// measured until the window is painted; the process's peak memory at the end.
void WindowOneLine(benchmark::State& state)
{
    ShownWindow window;
    auto* paste = window.control<QPushButton>("cmdPaste");
    auto* scan = window.control<QPushButton>("cmdScore");
    if (!window.ready(state))
        return;
    QGuiApplication::clipboard()->setText(sampleBody(state.range(0), true));
    QApplication::processEvents();
    for (auto _ : state) {
        state.counters["paste_ms"] = elapsedMilliseconds([paste] { paste->click(); });
        state.counters["scan_ms"] = elapsedMilliseconds([scan] { scan->click(); });
    }
    QGuiApplication::clipboard()->clear();
    state.counters["peak_MiB"] = peakMebibytes();
}

// One character typed into a 1 MB body on one line, until the box is painted again.
void WindowTyping(benchmark::State& state)
{
    ShownWindow window;
    auto* body = window.control<QPlainTextEdit>("tbInput");
    auto* paste = window.control<QPushButton>("cmdPaste");
    if (!window.ready(state))
        return;
    QGuiApplication::clipboard()->setText(sampleBody(1, true));
    paste->click();
    body->setFocus();
    body->moveCursor(QTextCursor::End);
    QApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(body, Qt::Key_A);
        QApplication::processEvents();
    }
}

// Step Through in the real window on the same 10 MB body: "Scan" stops at the first occurrence, then
// each press of "Next" is measured until painted.
void WindowStep(benchmark::State& state)
{
    ShownWindow window;
    auto* body = window.control<QPlainTextEdit>("tbInput");
    auto* scan = window.control<QPushButton>("cmdScore");
    auto* step = window.control<QCheckBox>("chkStep");
    if (!window.ready(state))
        return;
    body->setPlainText(sampleBody(10));
    step->click();
    scan->click();
    QApplication::processEvents();
    for (auto _ : state) {
        scan->click();
        QApplication::processEvents();
    }
    state.counters["stopped_at"] = double(window.form.session().matchPos());
}

// The trigger-phrase marks. HighlightTyping: one key typed at the end of a 100 KB body with the marks on,
// until painted (the marks wait for the text to rest); marks_ms is what they cost once it has rested.
// HighlightMarks: the marks of a 1 MB body found and shown, until painted. HighlightPaste: "Paste" of a
// 10 MB body with the marks on, until they are shown, beside the same paste with them off.
void HighlightTyping(benchmark::State& state)
{
    ShownWindow window;
    auto* body = window.control<QPlainTextEdit>("tbInput");
    if (!window.ready(state))
        return;
    body->setPlainText(sampleBody(1).first(100 * 1024));
    body->setFocus();
    body->moveCursor(QTextCursor::End);
    window.form.highlighter().refresh();
    QApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(body, Qt::Key_A);
        QApplication::processEvents();
    }
    state.counters["marks_ms"] = elapsedMilliseconds([&window] { window.form.highlighter().refresh(); });
}

void HighlightMarks(benchmark::State& state)
{
    ShownWindow window;
    auto* body = window.control<QPlainTextEdit>("tbInput");
    if (!window.ready(state))
        return;
    const QString text = sampleBody(1);
    for (auto _ : state) {
        state.PauseTiming();
        body->setPlainText(text);
        QApplication::processEvents();
        state.ResumeTiming();
        window.form.highlighter().refresh();
        QApplication::processEvents();
    }
}

void HighlightPaste(benchmark::State& state)
{
    ShownWindow window;
    auto* paste = window.control<QPushButton>("cmdPaste");
    auto* clear = window.control<QPushButton>("cmdClear");
    if (!window.ready(state))
        return;
    const bool highlight = state.range(0) != 0;
    window.form.setHighlighting(highlight);
    QGuiApplication::clipboard()->setText(sampleBody(10));
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        clear->click();
        QApplication::processEvents();
        state.ResumeTiming();
        paste->click();
        QApplication::processEvents();
        if (highlight) {
            window.form.highlighter().refresh();
            QApplication::processEvents();
        }
    }
    QGuiApplication::clipboard()->clear();
}

// The context menu of the last marked "claim your" of a 1 MB body, asked for with Shift+F10 right after a key
// typed at the start moved the text, so that the marks are found again first: from the key until the menu is
// shown with the phrase's plainer wordings.
void ReplaceMenu(benchmark::State& state)
{
    ShownWindow window;
    auto* body = window.control<QPlainTextEdit>("tbInput");
    if (!window.ready(state))
        return;
    body->setPlainText(sampleBody(1));
    body->setFocus();
    window.form.highlighter().refresh();
    QApplication::processEvents();
    qsizetype offered = 0;
    for (auto _ : state) {
        state.PauseTiming();
        body->moveCursor(QTextCursor::Start);
        QTest::keyClick(body, Qt::Key_A);
        QTextCursor phrase(body->document());
        phrase.setPosition(int(body->toPlainText().lastIndexOf(QLatin1String("claim your"))) + 2);
        body->setTextCursor(phrase);
        state.ResumeTiming();
        QTimer::singleShot(0, [&offered] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                offered = menu->findChildren<QAction*>(QStringLiteral("actReplacement")).size();
                menu->close();
            }
        });
        QTest::keyClick(body, Qt::Key_F10, Qt::ShiftModifier);
    }
    if (offered == 0)
        state.SkipWithError("the menu offered no wording");
}

} // namespace

BENCHMARK(W6)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowScan)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(WindowStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(WindowTyping)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(HighlightTyping)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(HighlightMarks)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(ReplaceMenu)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(HighlightPaste)
    ->ArgName("highlight")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
// The larger body last, so that the peak memory it reports is its own.
BENCHMARK(WindowOneLine)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
