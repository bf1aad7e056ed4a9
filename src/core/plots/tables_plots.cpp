#include "core/plots/tables_plots.h"

#include "core/entry/number_rules.h"

namespace quarbel {
namespace {

// The four-fold cells are read as the test reads them: whole numbers, a missing one as 0.
std::array<double, 4> fourFoldCounts(const FourFoldTexts &cells) {
    std::array<double, 4> counts{};
    for (std::size_t i = 0; i < 4; ++i)
        if (const auto v = Fixed4::parse(cells[i]))
            counts[i] = v->toDouble();
    return counts;
}

bool anyNegative(std::span<const double> counts) {
    for (double v : counts)
        if (v < 0)
            return true;
    return false;
}

} // namespace

std::array<std::optional<Estimate>, 2> fourFoldPicture(const FourFoldTexts &cells) {
    // A negative count in a row leaves x outside 0..n, so that group gets no interval.
    const auto [a, b, c, d] = fourFoldCounts(cells);
    return {wilsonEstimate(a, a + b), wilsonEstimate(c, c + d)};
}

std::array<std::optional<Estimate>, 2> pairedFourFoldPicture(const FourFoldTexts &cells) {
    const std::array<double, 4> counts = fourFoldCounts(cells);
    if (anyNegative(counts))
        return {};
    const auto [a, b, c, d] = counts;
    const double n = a + b + c + d;
    return {wilsonEstimate(a + b, n), wilsonEstimate(a + c, n)};
}

RxCPicture rxcPicture(const RxCTexts &cells) {
    std::array<double, 12> counts{};
    for (std::size_t k = 0; k < counts.size(); ++k)
        counts[k] = leadingNumber(cells[k]);
    RxCPicture picture;
    if (anyNegative(counts))
        return picture;
    for (int c = 0; c < 4; ++c)
        if (counts[std::size_t(c)] + counts[std::size_t(4 + c)] + counts[std::size_t(8 + c)] > 0)
            picture.columns.push_back(c);
    for (int r = 0; r < 3; ++r) {
        double total = 0;
        for (int c = 0; c < 4; ++c)
            total += counts[std::size_t(4 * r + c)];
        if (!(total > 0))
            continue;
        picture.rows.push_back(r);
        std::vector<double> shares;
        for (int c : picture.columns)
            shares.push_back(counts[std::size_t(4 * r + c)] / total);
        picture.shares.push_back(std::move(shares));
    }
    return picture;
}

std::array<std::optional<std::array<double, 4>>, 2> gradedPicture(const GradedTexts &cells) {
    std::array<std::optional<std::array<double, 4>>, 2> picture;
    for (std::size_t g = 0; g < 2; ++g) {
        std::array<double, 4> counts{};
        double total = 0;
        for (std::size_t j = 0; j < 4; ++j)
            total += counts[j] = leadingNumber(cells[4 * g + j]);
        if (!(total > 0) || anyNegative(counts))
            continue;
        for (double &v : counts)
            v /= total;
        picture[g] = counts;
    }
    return picture;
}

} // namespace quarbel
