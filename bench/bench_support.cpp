#include "bench_support.h"

#include "ui/common/pending_work.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <random>
#include <unistd.h>
#include <vector>

namespace quarbel::bench {
void resetPeakMemory() {
    releaseKept();
    probe::resetPeakMemory();
}

void reportPeakMemory(benchmark::State &state) {
    state.counters["peak_MB"] = peakMemoryMB();
}

QStringList sampleTexts(qsizetype count, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> normal(50.0, 10.0);
    QStringList texts;
    texts.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        texts.append(QString::number(normal(random), 'f', 2));
    return texts;
}

std::optional<double> rSeconds(const QString &script, const QString &path) {
    QProcess r;
    r.start(QStringLiteral("Rscript"), {QStringLiteral("-e"), script, path});
    bool ok =
        r.waitForFinished(900000) && r.exitStatus() == QProcess::NormalExit && r.exitCode() == 0;
    const double seconds = ok ? QString::fromUtf8(r.readAllStandardOutput()).toDouble(&ok) : 0;
    return ok ? std::optional<double>(seconds) : std::nullopt;
}

double medianSeconds(int runs, const std::function<void()> &work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        times.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[std::size_t(runs / 2)];
}

std::function<void()> &kept() {
    static std::function<void()> release;
    return release;
}

void keepUntilNextCase(std::function<void()> release) {
    kept() = std::move(release);
}

void releaseKept() {
    if (auto release = std::exchange(kept(), nullptr))
        release();
}

void typeKey(QWidget *target, int key, const QString &text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

void timeAlternatingKeys(benchmark::State &state, QWidget *cell, char digit) {
    bool typed = false;
    double slowest = 0, total = 0;
    for (auto _ : state) {
        const auto pressed = std::chrono::steady_clock::now();
        if (typed)
            typeKey(cell, Qt::Key_Backspace);
        else
            typeKey(cell, Qt::Key_0 + (digit - '0'), QString(QLatin1Char(digit)));
        QCoreApplication::processEvents();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - pressed)
                .count();
        slowest = std::max(slowest, ms);
        total += ms;
        typed = !typed;
    }
    if (typed)
        typeKey(cell, Qt::Key_Backspace);
    state.counters["slowest_ms"] = slowest;
    state.counters["key_ms"] =
        total / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

void timePendingResults(benchmark::State &state) {
    const auto start = std::chrono::steady_clock::now();
    PendingWork::flushAll();
    state.counters["results_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

MedianReporter::MedianReporter()
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}

void MedianReporter::ReportRuns(const std::vector<Run> &runs) {
    std::vector<Run> shown;
    for (Run run : runs) {
        const bool repeated = run.repetitions > 1;
        if (repeated && run.aggregate_name != "median")
            continue;
        if (const auto floor = run.counters.find("floor_ms"); floor != run.counters.end()) {
            const double ms =
                run.GetAdjustedRealTime() * 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            run.counters["x_floor"] = floor->second.value > 0 ? ms / floor->second.value : 0.0;
        }
        shown.push_back(std::move(run));
    }
    if (!shown.empty())
        ConsoleReporter::ReportRuns(shown);
}

} // namespace quarbel::bench
