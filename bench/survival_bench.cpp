// The survival analysis: keystrokes into its grid at 10^5 and 10^6 rows, and the whole
// computation after an import of a million rows beside R's survfit + survdiff + coxph on the
// same data, timed in the same run.
#include "bench_support.h"

#include "core/entry/column_list.h"
#include "core/shell/methods.h"
#include "core/survival/survival.h"
#include "ui/common/pending_work.h"
#include "ui/entry/numeric_cell.h"
#include "ui/shell/main_window.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <chrono>
#include <memory>
#include <random>

namespace quarbel::bench {
namespace {

// Two groups, exponential times (the second group's hazard 0.7 of the first's), 30% censored.
struct SurvivalData {
    QStringList time, outcome, group;
};

SurvivalData survivalData(qsizetype rows) {
    std::mt19937 random(29);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    SurvivalData d;
    d.time.reserve(rows);
    d.outcome.reserve(rows);
    d.group.reserve(rows);
    for (qsizetype i = 0; i < rows; ++i) {
        const bool second = uniform(random) < 0.5;
        const double t = -std::log(1.0 - uniform(random)) * 24.0 / (second ? 0.7 : 1.0);
        d.time.append(QString::number(t, 'f', 2));
        d.outcome.append(uniform(random) < 0.3 ? QStringLiteral("0") : QStringLiteral("1"));
        d.group.append(second ? QStringLiteral("2") : QStringLiteral("1"));
    }
    return d;
}

std::span<const QString> spanOf(const QStringList &list) {
    return {list.constData(), std::size_t(list.size())};
}

struct Filled {
    explicit Filled(qsizetype count) : rows(count) {
        resetPeakMemory();
        window = std::make_unique<MainWindow>();
        window->show();
        window->selectMethod(Survival);
        const SurvivalData d = survivalData(rows);
        for (auto [name, texts] : {std::pair{"List3", &d.time}, std::pair{"List4", &d.outcome},
                                   std::pair{"List5", &d.group}})
            window->findChild<ColumnList *>(QLatin1String(name))->replaceAll(*texts);
        cell = window->findChild<NumericCell *>(QStringLiteral("Text30_0"));
    }
    qsizetype rows;
    std::unique_ptr<MainWindow> window;
    NumericCell *cell{nullptr};
};

Filled &filled(qsizetype rows) {
    static std::unique_ptr<Filled> current;
    if (!current || current->rows != rows) {
        current.reset();
        current = std::make_unique<Filled>(rows);
        keepUntilNextCase([] { current.reset(); });
    }
    return *current;
}

// Each key with the events after it; the slowest key counts, and the time the results then
// take once the typing pauses (the pending run).
void survivalKeystroke(benchmark::State &state) {
    Filled &f = filled(state.range(0));
    bool typed = false;
    double slowest = 0, total = 0;
    for (auto _ : state) {
        const auto pressed = std::chrono::steady_clock::now();
        if (typed)
            typeKey(f.cell, Qt::Key_Backspace);
        else
            typeKey(f.cell, Qt::Key_7, QStringLiteral("7"));
        QCoreApplication::processEvents();
        const double ms =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - pressed)
                .count();
        slowest = std::max(slowest, ms);
        total += ms;
        typed = !typed;
    }
    if (typed)
        typeKey(f.cell, Qt::Key_Backspace);
    const auto start = std::chrono::steady_clock::now();
    PendingWork::flushAll();
    state.counters["results_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    auto *median = f.window->findChild<QLabel *>(QStringLiteral("SurvMedian_1"));
    if (!median || median->text().isEmpty())
        state.SkipWithError("the survival results were not computed");
    state.counters["slowest_ms"] = slowest;
    state.counters["key_ms"] =
        total / double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    reportPeakMemory(state);
}

// The whole computation (Kaplan–Meier per group with medians and intervals, log-rank, Cox) on
// a million rows, beside R reading nothing but the same columns already in memory.
void survivalVersusR(benchmark::State &state) {
    const qsizetype rows = state.range(0);
    const SurvivalData d = survivalData(rows);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("survival.csv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the data file");
            return;
        }
        QTextStream out(&file);
        out << "time,status,group\n";
        for (qsizetype i = 0; i < rows; ++i)
            out << d.time[i] << ',' << d.outcome[i] << ',' << d.group[i] << '\n';
    }
    const QString script = QStringLiteral(
        "suppressMessages(library(survival)); d <- read.csv(commandArgs(TRUE)[1]);"
        "f <- function() { fit <- survfit(Surv(time, status) ~ group, data = d);"
        "  s <- summary(fit)$table; l <- survdiff(Surv(time, status) ~ group, data = d);"
        "  c <- coxph(Surv(time, status) ~ factor(group), data = d) };"
        "invisible(f()); t <- replicate(3, system.time(f())[['elapsed']]); cat(median(t))");
    QProcess r;
    r.start(QStringLiteral("Rscript"), {QStringLiteral("-e"), script, path});
    bool ok =
        r.waitForFinished(900000) && r.exitStatus() == QProcess::NormalExit && r.exitCode() == 0;
    const double rSeconds = ok ? QString::fromUtf8(r.readAllStandardOutput()).toDouble(&ok) : 0;
    if (!ok) {
        state.SkipWithError("Rscript with the survival package is not installed");
        for (auto _ : state)
            state.SetIterationTime(0);
        return;
    }
    resetPeakMemory();
    ColumnList time(QStringLiteral("t")), outcome(QStringLiteral("o")), group(QStringLiteral("g"));
    time.replaceAll(d.time);
    outcome.replaceAll(d.outcome);
    group.replaceAll(d.group);
    const SurvivalColumns columns{
        time.ticks(),         outcome.ticks(),         group.ticks(),
        spanOf(time.texts()), spanOf(outcome.texts()), spanOf(group.texts())};
    double ours = 0;
    for (auto _ : state) {
        ours = medianSeconds(3, [&columns] {
            benchmark::DoNotOptimize(analyseSurvival(columns, QStringLiteral("36")));
        });
        state.SetIterationTime(ours);
    }
    state.counters["R_ms"] = rSeconds * 1e3;
    state.counters["x_faster"] = rSeconds / ours;
    reportPeakMemory(state);
}

} // namespace

BENCHMARK(survivalKeystroke)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);
BENCHMARK(survivalVersusR)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

} // namespace quarbel::bench
