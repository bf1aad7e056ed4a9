// Fisher's exact test of a 2×2 table of n subjects: the widest walk is the balanced table near
// independence, whose tables spread over the most cells.
#include "bench_support.h"

#include "core/tables/exact_tests.h"

namespace quarbel::bench {
namespace {

void fisherExact(benchmark::State &state) {
    const double quarter = double(state.range(0)) / 4;
    const double a = quarter, b = quarter, c = quarter - quarter / 50, d = quarter + quarter / 50;
    for (auto _ : state)
        benchmark::DoNotOptimize(fisherExactP(a, b, c, d));
    reportPeakMemory(state);
}

} // namespace

BENCHMARK(fisherExact)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(3);

} // namespace quarbel::bench
