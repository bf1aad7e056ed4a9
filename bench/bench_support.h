#pragma once

#include "probe/process_memory.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace quarbel::bench {

using probe::peakMemoryMB;
using probe::residentMemoryMB;
// Releases a kept window, then restarts the peak from the current resident size, so a case's
// peak is its own.
void resetPeakMemory();
void reportPeakMemory(benchmark::State &state);

// `count` values drawn from N(50, 10) written with two decimals, as a clinician types them.
QStringList sampleTexts(qsizetype count, std::uint32_t seed);

// Runs an R script with `path` as its argument; what it prints, read as seconds. nullopt where
// Rscript or a package it loads is missing.
std::optional<double> rSeconds(const QString &script, const QString &path);

// Median wall time of `runs` calls, in seconds.
double medianSeconds(int runs, const std::function<void()> &work);

// A case may keep its window between calls (building 10^6 rows is slow). The next other case
// releases it first, so that its memory counts against nobody else; main releases the last.
void keepUntilNextCase(std::function<void()> release);
void releaseKept();

// One key press and release on a widget, as typed.
void typeKey(QWidget *target, int key, const QString &text = {});

// Each iteration of `state` types `digit` into `cell` or deletes it again, with the events after
// it; sets the counters key_ms (the mean) and slowest_ms, and leaves the cell as it was.
void timeAlternatingKeys(benchmark::State &state, QWidget *cell, char digit);
// Runs every computation that waits for the typing to pause; sets results_ms to its time.
void timePendingResults(benchmark::State &state);

// Console output with only the median of the repetitions, and, where a case states the cost
// of parsing its entries once ("floor_ms"), its time as a multiple of that floor.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    MedianReporter();
    void ReportRuns(const std::vector<Run> &runs) override;
};

} // namespace quarbel::bench
