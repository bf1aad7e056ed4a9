// Generation: mean 50, SD 10, two decimals, from the press of "生成数据" until the values are
// listed, through the real window; beside it the algorithm alone, without events or the list.
#include "bench_support.h"

#include "core/generator/normal_generator.h"
#include "core/generator/uniform_source.h"
#include "ui/generator/generator_window.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace quarbel::bench {
namespace {

void generatorWindow(benchmark::State &state) {
    resetPeakMemory();
    GeneratorWindow window;
    window.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(QStringLiteral("50"));
    window.findChild<QLineEdit *>(QStringLiteral("Text2"))->setText(QStringLiteral("10"));
    window.findChild<QLineEdit *>(QStringLiteral("Text3"))
        ->setText(QString::number(state.range(0)));
    window.findChild<QComboBox *>(QStringLiteral("Combo1"))->setCurrentText(QStringLiteral("2"));
    auto *generate = window.findChild<QPushButton *>(QStringLiteral("Command3"));
    for (auto _ : state)
        generate->click();
    reportPeakMemory(state);
}

void generatorAlgorithm(benchmark::State &state) {
    resetPeakMemory();
    const GeneratorPlan plan = planGeneration(
        {QStringLiteral("50"), QStringLiteral("10"), QString::number(state.range(0)), "2"});
    UniformSource source;
    for (auto _ : state) {
        NormalGenerator generator(plan, source);
        while (!generator.advance(1 << 20)) {
        }
        benchmark::DoNotOptimize(generator.values().data());
    }
    reportPeakMemory(state);
}

} // namespace

BENCHMARK(generatorWindow)->Arg(32767)->Arg(1000000)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(generatorAlgorithm)
    ->Arg(32767)
    ->Arg(1000000)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

} // namespace quarbel::bench
