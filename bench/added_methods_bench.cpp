// The methods after the eight: keystrokes into the survival grid at 10^5 and 10^6 rows, and the
// whole survival and ROC computations on a million rows beside R (survfit + survdiff + coxph;
// pROC) on the same data, timed in the same run.
#include "bench_support.h"

#include "core/diagnostic/roc.h"
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

// A million-row marker, 40% diseased, the diseased 0.8 SD higher.
struct RocData {
    QStringList value, status;
};

RocData rocData(qsizetype rows) {
    std::mt19937 random(31);
    std::normal_distribution<double> normal(50.0, 10.0);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    RocData d;
    for (qsizetype i = 0; i < rows; ++i) {
        const bool diseased = uniform(random) < 0.4;
        d.value.append(QString::number(normal(random) + (diseased ? 8.0 : 0.0), 'f', 2));
        d.status.append(diseased ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return d;
}

// A method's grid filled with `rows` rows, its window shown; keys go to `cell`, and `result`
// must hold a text once the results are complete.
struct AddedMethod {
    Method method;
    const char *cell;
    const char *result;
};
const AddedMethod survival{Survival, "Text30_0", "SurvMedian_1"};
const AddedMethod roc{Roc, "Text1_0", "RocAuc"};

struct Filled {
    Filled(const AddedMethod &m, qsizetype count) : method(&m), rows(count) {
        resetPeakMemory();
        window = std::make_unique<MainWindow>();
        window->show();
        window->selectMethod(m.method);
        auto fill = [this](const char *name, const QStringList &texts) {
            window->findChild<ColumnList *>(QLatin1String(name))->replaceAll(texts);
        };
        if (m.method == Survival) {
            const SurvivalData d = survivalData(rows);
            fill("List3", d.time);
            fill("List4", d.outcome);
            fill("List5", d.group);
        } else {
            const RocData d = rocData(rows);
            fill("List1", d.value);
            fill("List2", d.status);
        }
        cell = window->findChild<NumericCell *>(QLatin1String(m.cell));
    }
    const AddedMethod *method;
    qsizetype rows;
    std::unique_ptr<MainWindow> window;
    NumericCell *cell{nullptr};
};

Filled &filled(const AddedMethod &m, qsizetype rows) {
    static std::unique_ptr<Filled> current;
    if (!current || current->method != &m || current->rows != rows) {
        current.reset();
        current = std::make_unique<Filled>(m, rows);
        keepUntilNextCase([] { current.reset(); });
    }
    return *current;
}

// Each key with the events after it; the slowest key counts, and the time the results then
// take once the typing pauses (the pending run).
void addedKeystroke(benchmark::State &state, const AddedMethod *m) {
    Filled &f = filled(*m, state.range(0));
    timeAlternatingKeys(state, f.cell, '7');
    timePendingResults(state);
    auto *result = f.window->findChild<QLabel *>(QLatin1String(m->result));
    if (!result || result->text().isEmpty())
        state.SkipWithError("the results were not computed");
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
    const std::optional<double> measured = rSeconds(script, path);
    const double rSeconds = measured.value_or(0);
    if (!measured) {
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

// The whole ROC computation (AUC, DeLong's SE and interval, P, every cut-off and the best one)
// on a million rows beside pROC's roc + ci.auc(method = "delong") + coords("best").
void rocVersusPRoc(benchmark::State &state) {
    const qsizetype rows = state.range(0);
    const RocData d = rocData(rows);
    const QStringList &value = d.value, &status = d.status;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("roc.csv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the data file");
            return;
        }
        QTextStream out(&file);
        out << "value,status\n";
        for (qsizetype i = 0; i < rows; ++i)
            out << value[i] << ',' << status[i] << '\n';
    }
    const QString script = QStringLiteral(
        "suppressMessages(library(pROC)); d <- read.csv(commandArgs(TRUE)[1]);"
        "f <- function() { r <- roc(d$status, d$value, direction = '<', quiet = TRUE);"
        "  ci <- ci.auc(r, method = 'delong'); b <- coords(r, 'best') };"
        "invisible(f()); t <- replicate(3, system.time(f())[['elapsed']]); cat(median(t))");
    const std::optional<double> measured = rSeconds(script, path);
    const double rSeconds = measured.value_or(0);
    if (!measured) {
        state.SkipWithError("Rscript with the pROC package is not installed");
        for (auto _ : state)
            state.SetIterationTime(0);
        return;
    }
    resetPeakMemory();
    ColumnList values(QStringLiteral("v")), statuses(QStringLiteral("s"));
    values.replaceAll(value);
    statuses.replaceAll(status);
    const RocColumns columns{values.ticks(), statuses.ticks(), spanOf(values.texts()),
                             spanOf(statuses.texts())};
    double ours = 0;
    for (auto _ : state) {
        ours =
            medianSeconds(3, [&columns] { benchmark::DoNotOptimize(analyseRoc(columns, false)); });
        state.SetIterationTime(ours);
    }
    state.counters["R_ms"] = rSeconds * 1e3;
    state.counters["x_faster"] = rSeconds / ours;
    reportPeakMemory(state);
}

} // namespace

BENCHMARK(rocVersusPRoc)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);
BENCHMARK_CAPTURE(addedKeystroke, survival, &survival)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);
BENCHMARK_CAPTURE(addedKeystroke, roc, &roc)
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
