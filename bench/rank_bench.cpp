// The rank tests beside the t-test: keystrokes into the two-sample grid at 10^5 and 10^6 rows
// with the rank values on, the whole rank set on a million rows beside R's wilcox.test with
// its interval and quantile(type = 2), and a keystroke of the sample size method per design.
#include "bench_support.h"

#include "core/entry/column_list.h"
#include "core/rank/rank_details.h"
#include "core/shell/methods.h"
#include "ui/common/pending_work.h"
#include "ui/entry/numeric_cell.h"
#include "ui/shell/main_window.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTextStream>

#include <chrono>
#include <memory>
#include <random>

namespace quarbel::bench {
namespace {

// Lengths of stay: log-normal, the second group's median 20% longer, one decimal, so ties
// abound as in real data.
QStringList skewedTexts(qsizetype count, double shift, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::lognormal_distribution<double> stay(1.6 + shift, 0.7);
    QStringList texts;
    texts.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        texts.append(QString::number(stay(random), 'f', 1));
    return texts;
}

struct RankWindow {
    explicit RankWindow(qsizetype count) : rows(count) {
        resetPeakMemory();
        window = std::make_unique<MainWindow>();
        window->show();
        window->selectMethod(TwoSampleT);
        window->findChild<ColumnList *>(QStringLiteral("List1"))
            ->replaceAll(skewedTexts(rows, 0, 41));
        window->findChild<ColumnList *>(QStringLiteral("List2"))
            ->replaceAll(skewedTexts(rows, 0.18, 43));
        PendingWork::flushAll();
        cell = window->findChild<NumericCell *>(QStringLiteral("Text1_0"));
    }
    qsizetype rows;
    std::unique_ptr<MainWindow> window;
    NumericCell *cell{nullptr};
};

RankWindow &rankWindow(qsizetype rows) {
    static std::unique_ptr<RankWindow> current;
    if (!current || current->rows != rows) {
        current.reset();
        current = std::make_unique<RankWindow>(rows);
        keepUntilNextCase([] { current.reset(); });
    }
    return *current;
}

// Each key with the events after it, the rank values following; the slowest key counts, and
// the time the rank values then take once the typing pauses.
void rankKeystroke(benchmark::State &state) {
    RankWindow &w = rankWindow(state.range(0));
    timeAlternatingKeys(state, w.cell, '7');
    timePendingResults(state);
    const auto *p = w.window->findChild<QLabel *>(QStringLiteral("MannWhitneyShiftHigh"));
    if (!p || p->text().isEmpty())
        state.SkipWithError("the rank values were not computed");
    reportPeakMemory(state);
}

// Medians and quartiles of both groups, Mann–Whitney with the Hodges–Lehmann shift and its
// interval, Shapiro–Wilk (empty beyond 5000): everything the box shows, from the lists an import
// fills, beside R on the same columns already read.
void rankVersusR(benchmark::State &state) {
    const qsizetype rows = state.range(0);
    const QStringList x = skewedTexts(rows, 0, 41), y = skewedTexts(rows, 0.18, 43);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("rank.csv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the data file");
            return;
        }
        QTextStream out(&file);
        out << "x,y\n";
        for (qsizetype i = 0; i < rows; ++i)
            out << x[i] << ',' << y[i] << '\n';
    }
    const QString script =
        QStringLiteral("d <- read.csv(commandArgs(TRUE)[1]);"
                       "f <- function() { w <- wilcox.test(d$x, d$y, conf.int = TRUE);"
                       "  a <- quantile(d$x, c(0.25, 0.5, 0.75), type = 2);"
                       "  b <- quantile(d$y, c(0.25, 0.5, 0.75), type = 2) };"
                       "cat(system.time(f())[['elapsed']])");
    const std::optional<double> measured = rSeconds(script, path);
    if (!measured) {
        state.SkipWithError("Rscript is not installed");
        for (auto _ : state)
            state.SetIterationTime(0);
        return;
    }
    resetPeakMemory();
    ColumnList first(QStringLiteral("x")), second(QStringLiteral("y"));
    first.replaceAll(x);
    second.replaceAll(y);
    double ours = 0;
    for (auto _ : state) {
        ours = medianSeconds(
            3, [&] { benchmark::DoNotOptimize(rankTwoSample(first.ticks(), second.ticks())); });
        state.SetIterationTime(ours);
    }
    state.counters["R_ms"] = *measured * 1e3;
    state.counters["x_faster"] = *measured / ours;
    reportPeakMemory(state);
}

// A design's inputs and the box a clinician goes on typing into.
struct Design {
    std::vector<std::pair<const char *, const char *>> inputs;
    const char *typedInto;
};
const std::vector<Design> &designs() {
    static const std::vector<Design> all{
        {{{"SizeDelta", "5"}, {"SizeSd", "10"}}, "SizeSd"},
        {{{"SizeDelta", "2"}, {"SizeSd", "6"}}, "SizeSd"},
        {{{"SizeP1", "0.3"}, {"SizeP2", "0.45"}}, "SizeP2"},
        {{{"SizeP10", "0.2"}, {"SizeP01", "0.08"}}, "SizeP01"},
        {{{"SizeGroups", "4"}, {"SizeEffectF", "0.25"}}, "SizeEffectF"},
        {{{"SizeRho", "0.3"}}, "SizeRho"},
        {{{"SizeHR", "0.7"}, {"SizeEventProb", "0.6"}}, "SizeHR"},
        {{{"SizeP", "0.3"}, {"SizeHalfWidth", "0.05"}}, "SizeHalfWidth"},
    };
    return all;
}

// A key in the design's last box, alternately a digit and its deletion: each recomputes n, its
// power and the curve's numbers. The slowest key counts.
void sampleSizeKeystroke(benchmark::State &state) {
    const auto design = std::size_t(state.range(0));
    static std::unique_ptr<MainWindow> window;
    if (!window) {
        window = std::make_unique<MainWindow>();
        window->show();
        keepUntilNextCase([] { window.reset(); });
    }
    window->selectMethod(SampleSize);
    window->findChild<QComboBox *>(QStringLiteral("SizeDesign"))->setCurrentIndex(int(design));
    for (const auto &[name, text] : designs()[design].inputs)
        window->findChild<NumericCell *>(QLatin1String(name))->setText(QLatin1String(text));
    auto *cell = window->findChild<NumericCell *>(QLatin1String(designs()[design].typedInto));
    QCoreApplication::processEvents();
    timeAlternatingKeys(state, cell, '3');
    if (window->findChild<QLabel *>(QStringLiteral("SizeN1"))->text().isEmpty())
        state.SkipWithError("no sample size was shown");
}

} // namespace

BENCHMARK(rankKeystroke)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(rankVersusR)->Arg(1000000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(1);
BENCHMARK(sampleSizeKeystroke)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->Iterations(40);

} // namespace quarbel::bench
