#pragma once

#include "core/plots/plot_basics.h"
#include "core/samplesize/sample_size.h"

#include <optional>
#include <vector>

namespace quarbel {

// The numbers behind the power curve: the power against n per group (pairs, subjects) around
// the answer, the target power and the answer with its power. Empty curve: nothing to draw
// (no result, the one-rate design, or an n beyond 10⁹).
struct SampleSizePicture {
    std::vector<PlotPoint> curve;
    std::optional<double> target; // the power asked for; none when solving for power
    PlotPoint answer;             // the n shown and its power
    friend bool operator==(const SampleSizePicture &, const SampleSizePicture &) = default;
};

// At most 40 whole n from n/3 (not below the least n) to 2n, evenly spread.
SampleSizePicture sampleSizePicture(const SampleSizeResult &result);

} // namespace quarbel
