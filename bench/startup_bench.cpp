// Start-up: from starting the process to the main window shown, and the memory it holds once
// idle. The child is this program run with --startup-probe, which links the same libraries
// as quarbel and builds the same window.
#include "bench_support.h"

#include "ui/shell/main_window.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QWindow>

#include <cstdio>

namespace quarbel::bench {

int startupProbe() {
    MainWindow window;
    window.show();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::processEvents(); // the first paint
    std::printf("shown\n");
    std::fflush(stdout);
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < 300) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    std::printf("idle %.1f\n", residentMemoryMB());
    std::fflush(stdout);
    return 0;
}

namespace {

void startup(benchmark::State &state) {
    double idleMB = 0.0;
    for (auto _ : state) {
        QProcess child;
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--startup-probe")});
        QByteArray out;
        while (!out.contains("shown\n") && child.waitForReadyRead(10000))
            out += child.readAllStandardOutput();
        state.SetIterationTime(double(clock.nsecsElapsed()) * 1e-9);
        child.waitForFinished(10000);
        out += child.readAllStandardOutput();
        const qsizetype at = out.indexOf("idle ");
        if (!out.contains("shown\n") || at < 0) {
            state.SkipWithError("the probe did not show its window");
            return;
        }
        idleMB = out.mid(at + 5).trimmed().toDouble();
    }
    state.counters["idle_MB"] = idleMB;
}

} // namespace

BENCHMARK(startup)->UseManualTime()->Iterations(3)->Repetitions(3)->Unit(benchmark::kMillisecond);

} // namespace quarbel::bench
