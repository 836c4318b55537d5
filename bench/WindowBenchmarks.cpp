#include "MainForm.h"
#include "SkinRegion.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegion>

// The window's workloads, on the offscreen platform: W6 cuts the window outline from the committed skin;
// WindowScan pastes a 10 MB body into the body box of the real window and presses "Scan", measured until
// the results are painted.
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

QString tenMegabyteBody()
{
    QString body;
    for (const char* name : {"unsolicited.txt", "legitimate.txt"}) {
        QFile file(QStringLiteral(TALLYVEX_SOURCE_DIR "/examples/") + QLatin1String(name));
        if (file.open(QIODevice::ReadOnly))
            body += QString::fromUtf8(file.readAll());
    }
    const qsizetype length = 10 * 1024 * 1024;
    return body.repeated(length / body.size() + 1).first(length);
}

void WindowScan(benchmark::State& state)
{
    MainForm form(QStringLiteral(TALLYVEX_SOURCE_DIR "/resources/Definitions.dat"), QLocale(QLocale::English));
    form.show();
    auto* body = form.findChild<QPlainTextEdit*>(QStringLiteral("tbInput"));
    auto* scan = form.findChild<QPushButton*>(QStringLiteral("cmdScore"));
    auto* verdict = form.findChild<QLabel*>(QStringLiteral("lblPassFail"));
    if (!body || !scan || !verdict) {
        state.SkipWithError("the window's controls are missing");
        return;
    }
    QElapsedTimer paste;
    paste.start();
    body->setPlainText(tenMegabyteBody());
    QApplication::processEvents();
    state.counters["paste_ms"] = double(paste.nsecsElapsed()) / 1e6;

    for (auto _ : state) {
        scan->click();
        QApplication::processEvents();
    }
    state.counters["phrases_listed"] = double(form.session().results().phrases().count(QStringLiteral("\r\n")));
    state.SetLabel(verdict->text().toStdString());
}

// Step Through in the real window on the same 10 MB body: "Scan" stops at the first occurrence, then
// each press of "Next" is measured until painted.
void WindowStep(benchmark::State& state)
{
    MainForm form(QStringLiteral(TALLYVEX_SOURCE_DIR "/resources/Definitions.dat"), QLocale(QLocale::English));
    form.show();
    auto* body = form.findChild<QPlainTextEdit*>(QStringLiteral("tbInput"));
    auto* scan = form.findChild<QPushButton*>(QStringLiteral("cmdScore"));
    auto* step = form.findChild<QCheckBox*>(QStringLiteral("chkStep"));
    if (!body || !scan || !step) {
        state.SkipWithError("the window's controls are missing");
        return;
    }
    body->setPlainText(tenMegabyteBody());
    step->click();
    scan->click();
    QApplication::processEvents();
    for (auto _ : state) {
        scan->click();
        QApplication::processEvents();
    }
    state.counters["stopped_at"] = double(form.session().matchPos());
}

} // namespace

BENCHMARK(W6)->Unit(benchmark::kMillisecond);
BENCHMARK(WindowScan)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(WindowStep)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
