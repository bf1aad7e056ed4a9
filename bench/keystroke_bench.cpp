// Keystroke latency: one character typed into the first cell of a grid holding N rows, until
// the active method has written every result field, with its picture on screen; beside it the
// floor, parsing the same entries once. Also one redraw of each grid method's picture.
#include "bench_support.h"

#include "core/entry/column_list.h"
#include "core/shell/methods.h"
#include "ui/common/plot_view.h"
#include "ui/entry/numeric_cell.h"
#include "ui/shell/main_window.h"
#include "ui/shell/method_pictures.h"

#include <QApplication>
#include <QLabel>

#include <algorithm>
#include <chrono>
#include <memory>

namespace quarbel::bench {
namespace {

struct GridMethod {
    Method method;
    QStringList lists;
    QString cell;
    // Cells of the other columns typed into once, so the method has all its inputs; and a
    // result label that must be written when it has.
    QStringList otherCells{};
    QString result{};
};

// The grid fills a group's boxes only when a cell of its column changes: typing once into the
// second column fills its boxes, so each measured keystroke runs the whole t-test.
const GridMethod twoSample{TwoSampleT, {"List1", "List2"}, "Text1_0", {"Text2_0"}, "Label5_6"};
const GridMethod paired{PairedT, {"List1", "List2"}, "Text1_0", {}, "Label5_7"};
const GridMethod correlation{Correlation, {"List1", "List2"}, "Text1_0", {}, "Label5_16"};
const GridMethod anova{
    Anova, {"List3", "List4", "List5"}, "Text30_0", {"Text40_0", "Text50_0"}, "AnovaTukeyP12"};

// The main window with every list of the method filled with `rows` entries.
struct Filled {
    Filled(const GridMethod &m, qsizetype count) : method(&m), rows(count) {
        resetPeakMemory();
        window = std::make_unique<MainWindow>();
        // Shown, so the method's picture is on screen and redraws as the user types.
        window->show();
        window->selectMethod(m.method);
        std::uint32_t seed = 17;
        for (const QString &name : m.lists) {
            texts.push_back(sampleTexts(rows, seed++));
            window->findChild<ColumnList *>(name)->replaceAll(texts.back());
        }
        cell = window->findChild<NumericCell *>(m.cell);
        // The grid summarises a column only when one of its cells changes: without this the
        // other groups' boxes stay empty and the analysis of variance never runs.
        for (const QString &name : m.otherCells) {
            if (auto *other = window->findChild<NumericCell *>(name)) {
                typeKey(other, Qt::Key_7, QStringLiteral("7"));
                typeKey(other, Qt::Key_Backspace);
            }
        }
        picture = window->pictures()->picture(m.method);
        picture->schedule();
        picture->flush();
        floorSeconds = medianSeconds(5, [this] {
            for (const QStringList &column : texts) {
                ColumnList scratch(QStringLiteral("scratch"));
                scratch.replaceAll(column);
                benchmark::DoNotOptimize(scratch.ticks().data());
            }
        });
    }

    const GridMethod *method;
    qsizetype rows;
    std::unique_ptr<MainWindow> window;
    std::vector<QStringList> texts;
    NumericCell *cell{nullptr};
    PlotView *picture{nullptr};
    double floorSeconds{0.0};
};

Filled &filled(const GridMethod &m, qsizetype rows) {
    static std::unique_ptr<Filled> current;
    if (!current || current->method != &m || current->rows != rows) {
        current.reset();
        current = std::make_unique<Filled>(m, rows);
        keepUntilNextCase([] { current.reset(); });
    }
    return *current;
}

void keystroke(benchmark::State &state, const GridMethod *m) {
    Filled &f = filled(*m, state.range(0));
    if (!f.cell) {
        state.SkipWithError("grid cell not found");
        return;
    }
    bool typed = false;
    // The key's own handling (the method's computation and the texts written) and the events
    // after it, apart; of those, Qt's layout and its painting each on their own too (the rest
    // is the picture's redraws where due).
    std::chrono::duration<double, std::milli> handling{}, events{}, layout{}, painting{};
    const int redrawsBefore = f.picture->redrawCount();
    for (auto _ : state) {
        // Alternately type a digit into the empty cell and delete it: one keystroke each. The
        // events that follow run too, so the picture's coalesced redraws are paid where due.
        const auto pressed = std::chrono::steady_clock::now();
        if (typed)
            typeKey(f.cell, Qt::Key_Backspace);
        else
            typeKey(f.cell, Qt::Key_7, QStringLiteral("7"));
        const auto handled = std::chrono::steady_clock::now();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        const auto laidOut = std::chrono::steady_clock::now();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const auto painted = std::chrono::steady_clock::now();
        QCoreApplication::processEvents();
        handling += handled - pressed;
        layout += laidOut - handled;
        painting += painted - laidOut;
        events += std::chrono::steady_clock::now() - handled;
        typed = !typed;
    }
    if (typed)
        typeKey(f.cell, Qt::Key_Backspace);
    if (!m->result.isEmpty()) {
        auto *result = f.window->findChild<QLabel *>(m->result);
        if (!result || result->text().isEmpty())
            state.SkipWithError("the method's results were not computed");
    }
    const double keys = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["handler_ms"] = handling.count() / keys;
    state.counters["events_ms"] = events.count() / keys;
    state.counters["layout_ms"] = layout.count() / keys;
    state.counters["paint_ms"] = painting.count() / keys;
    state.counters["floor_ms"] = f.floorSeconds * 1e3;
    state.counters["redraws"] = f.picture->redrawCount() - redrawsBefore;
    reportPeakMemory(state);
}

void sizes(benchmark::internal::Benchmark *b) {
    b->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond)->Repetitions(3);
}

// One redraw of the method's picture from its whole grid: the numbers from the core and the
// drawing, as the coalescing timer runs it.
void redraw(benchmark::State &state, const GridMethod *m) {
    Filled &f = filled(*m, state.range(0));
    for (auto _ : state) {
        f.picture->schedule();
        f.picture->flush();
    }
    reportPeakMemory(state);
}

void redrawSizes(benchmark::internal::Benchmark *b) {
    b->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Repetitions(3);
}

} // namespace

BENCHMARK_CAPTURE(keystroke, two_sample_t, &twoSample)->Apply(sizes);
BENCHMARK_CAPTURE(keystroke, paired_t, &paired)->Apply(sizes);
BENCHMARK_CAPTURE(keystroke, correlation, &correlation)->Apply(sizes);
BENCHMARK_CAPTURE(keystroke, anova, &anova)->Apply(sizes);
BENCHMARK_CAPTURE(redraw, two_sample_t, &twoSample)->Apply(redrawSizes);
BENCHMARK_CAPTURE(redraw, paired_t, &paired)->Apply(redrawSizes);
BENCHMARK_CAPTURE(redraw, correlation, &correlation)->Apply(redrawSizes);
BENCHMARK_CAPTURE(redraw, anova, &anova)->Apply(redrawSizes);

} // namespace quarbel::bench
