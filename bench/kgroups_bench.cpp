// The comparison of groups in long form: keystrokes into the value column at 10^5 and 10^6 rows
// in six groups, and the whole computation on a million rows beside R's aov + TukeyHSD +
// oneway.test + kruskal.test on the same data, timed in the same run.
#include "bench_support.h"

#include "core/entry/column_list.h"
#include "core/kgroups/k_groups.h"
#include "core/shell/methods.h"
#include "ui/common/pending_work.h"
#include "ui/entry/data_grid.h"
#include "ui/entry/numeric_cell.h"
#include "ui/shell/main_window.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextStream>

#include <chrono>
#include <memory>
#include <random>

namespace quarbel::bench {
namespace {

// Six groups of a normal marker to two decimals, the means a quarter SD apart.
struct LongData {
    QStringList value, group;
};

LongData longData(qsizetype rows) {
    std::mt19937 random(37);
    std::uniform_int_distribution<int> which(1, 6);
    std::normal_distribution<double> noise(0.0, 8.0);
    LongData d;
    d.value.reserve(rows);
    d.group.reserve(rows);
    for (qsizetype i = 0; i < rows; ++i) {
        const int g = which(random);
        d.value.append(QString::number(100 + 2 * g + noise(random), 'f', 2));
        d.group.append(QString::number(g));
    }
    return d;
}

struct Filled {
    explicit Filled(qsizetype count) : rows(count) {
        resetPeakMemory();
        window = std::make_unique<MainWindow>();
        window->show();
        window->selectMethod(KGroups);
        const LongData d = longData(rows);
        // As an import loads the grid: the group totals are built then, not on the first key.
        window->twoColumnGrid()->load({d.value, d.group}, {}, rows);
        PendingWork::flushAll();
        cell = window->findChild<NumericCell *>(QLatin1String("Text1_0"));
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

// Each key with the events after it; the slowest key counts, and the time the rank results
// then take once the typing pauses.
void kGroupsKeystroke(benchmark::State &state) {
    Filled &f = filled(state.range(0));
    timeAlternatingKeys(state, f.cell, '7');
    timePendingResults(state);
    auto *result = f.window->findChild<QLabel *>(QLatin1String("KGroupKruskalH"));
    if (!result || result->text().isEmpty())
        state.SkipWithError("the results were not computed");
    reportPeakMemory(state);
}

// Everything the method shows (group descriptions with Shapiro-Wilk, the analysis of variance,
// Bartlett, Levene, Welch, Kruskal-Wallis, Tukey, Games-Howell and Dunn for every pair) on a
// million rows, beside R computing its four tests on the columns already in memory.
void kGroupsVersusR(benchmark::State &state) {
    const qsizetype rows = state.range(0);
    const LongData d = longData(rows);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("groups.csv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the data file");
            return;
        }
        QTextStream out(&file);
        out << "value,group\n";
        for (qsizetype i = 0; i < rows; ++i)
            out << d.value[i] << ',' << d.group[i] << '\n';
    }
    const QString script = QStringLiteral(
        "d <- read.csv(commandArgs(TRUE)[1]); d$group <- factor(d$group);"
        "f <- function() { a <- aov(value ~ group, data = d); s <- summary(a);"
        "  t <- TukeyHSD(a); w <- oneway.test(value ~ group, data = d);"
        "  k <- kruskal.test(value ~ group, data = d) };"
        "invisible(f()); t <- replicate(3, system.time(f())[['elapsed']]); cat(median(t))");
    const std::optional<double> measured = rSeconds(script, path);
    const double rSeconds = measured.value_or(0);
    if (!measured) {
        state.SkipWithError("Rscript is not installed");
        for (auto _ : state)
            state.SetIterationTime(0);
        return;
    }
    resetPeakMemory();
    ColumnList values(QStringLiteral("v")), groups(QStringLiteral("g"));
    values.replaceAll(d.value);
    groups.replaceAll(d.group);
    const KGroupsColumns columns{values.ticks(), groups.ticks()};
    double ours = 0;
    for (auto _ : state) {
        ours = medianSeconds(3, [&columns] { benchmark::DoNotOptimize(analyseKGroups(columns)); });
        state.SetIterationTime(ours);
    }
    state.counters["R_ms"] = rSeconds * 1e3;
    state.counters["x_faster"] = rSeconds / ours;
    reportPeakMemory(state);
}

} // namespace

BENCHMARK(kGroupsKeystroke)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);
BENCHMARK(kGroupsVersusR)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

} // namespace quarbel::bench
