#pragma once

#include "core/plots/plot_basics.h"
#include "core/tables/four_fold.h"
#include "core/tables/graded.h"
#include "core/tables/rxc.h"

#include <array>
#include <optional>
#include <vector>

namespace quarbel {

// The four-fold table: the (+) proportion of each group (row) with Wilson's 95% interval;
// none for a group without subjects.
std::array<std::optional<Estimate>, 2> fourFoldPicture(const FourFoldTexts &cells);

// The paired four-fold table: the proportion positive by the row method, (a + b)/n, and by the
// column method, (a + c)/n, each with Wilson's 95% interval.
std::array<std::optional<Estimate>, 2> pairedFourFoldPicture(const FourFoldTexts &cells);

// The R×C table: for every row holding counts, its cells as shares of the row total, over the
// columns holding counts (row and column numbers from 0).
struct RxCPicture {
    std::vector<int> rows;
    std::vector<int> columns;
    std::vector<std::vector<double>> shares; // [row][column]
};
RxCPicture rxcPicture(const RxCTexts &cells);

// The graded table: each group's counts as shares of its total over the four grades; none for
// a group whose total is not positive or that holds a negative count.
std::array<std::optional<std::array<double, 4>>, 2> gradedPicture(const GradedTexts &cells);

} // namespace quarbel
