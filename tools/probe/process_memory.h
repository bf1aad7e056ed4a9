#pragma once

// Memory readings of this process, shared by the benchmarks and the robustness tests.
namespace quarbel::probe {

// Peak resident memory since the last reset (VmHWM), in megabytes.
double peakMemoryMB();
// Current resident memory (VmRSS), in megabytes.
double residentMemoryMB();
// Returns freed memory to the system and restarts the peak from the current resident size.
void resetPeakMemory();

} // namespace quarbel::probe
