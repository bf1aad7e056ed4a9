#include "core/tables/four_fold.h"
#include "core/entry/wide_int.h"

#include "core/entry/number_rules.h"
#include "core/tables/chi_square.h"

#include <cmath>
#include <optional>

namespace quarbel {
namespace {

std::optional<Fixed4> add(std::optional<Fixed4> x, std::optional<Fixed4> y) {
    if (!x || !y)
        return std::nullopt;
    std::int64_t sum = x->ticks();
    if (addOverflows(sum, y->ticks()))
        return std::nullopt;
    return Fixed4::fromTicks(sum);
}

// The grand total as a whole count, half to even: 40.5 gives 40, 41.5 gives 42.
std::int64_t wholeCount(Fixed4 total) {
    const std::int64_t t = total.ticks();
    std::int64_t q = t / Fixed4::Scale;
    const std::int64_t r = t % Fixed4::Scale;
    const std::int64_t half = Fixed4::Scale / 2;
    const std::int64_t step = t < 0 ? -1 : 1;
    if (std::abs(r) > half || (std::abs(r) == half && q % 2 != 0))
        q += step;
    return q;
}

QString shown(const std::optional<Fixed4> &v) {
    return v ? plainForm(*v) : QString();
}

// A cell that is not a complete number counts as 0; typed values are rounded to four decimals.
struct Table {
    double a{}, b{}, c{}, d{};
    std::optional<Fixed4> positive, negative, row1, row2, total, discordant;
    std::optional<std::int64_t> n;
    bool anyNegative{false};

    explicit Table(const FourFoldTexts &cells) {
        std::array<Fixed4, 4> v{};
        for (std::size_t i = 0; i < 4; ++i) {
            v[i] = Fixed4::parse(cells[i]).value_or(Fixed4{});
            anyNegative = anyNegative || v[i].ticks() < 0;
        }
        a = v[0].toDouble();
        b = v[1].toDouble();
        c = v[2].toDouble();
        d = v[3].toDouble();
        positive = add(v[0], v[2]);
        negative = add(v[1], v[3]);
        row1 = add(v[0], v[1]);
        row2 = add(v[2], v[3]);
        total = add(row1, row2);
        discordant = add(v[1], v[2]);
        if (total)
            n = wholeCount(*total);
    }

    FourFoldMargins margins() const {
        return {shown(positive), shown(negative), shown(row1), shown(row2), shown(total)};
    }
    QString nText() const { return n ? QString::number(*n) : QString(); }
};

double valueOf(const std::optional<Fixed4> &v) {
    return v ? v->toDouble() : std::numeric_limits<double>::quiet_NaN();
}

} // namespace

FourFoldMargins fourFoldMargins(const FourFoldTexts &cells) {
    return Table(cells).margins();
}

FourFoldResult fourFoldChiSquare(const FourFoldTexts &cells) {
    const Table t(cells);
    FourFoldResult result;
    result.margins = t.margins();
    result.n = t.nText();
    if (t.anyNegative)
        return result; // a chi-square of negative counts means nothing

    const double n = t.n ? double(*t.n) : 0.0;
    const double r1 = valueOf(t.row1), r2 = valueOf(t.row2);
    const double c1 = valueOf(t.positive), c2 = valueOf(t.negative);
    std::array<double, 4> expected{};
    bool expectedKnown = n != 0.0;
    if (expectedKnown) {
        expected = {r1 * c1 / n, r1 * c2 / n, r2 * c1 / n, r2 * c2 / n};
        for (std::size_t i = 0; i < 4; ++i) {
            expectedKnown = expectedKnown && std::isfinite(expected[i]);
            result.expected[i] = displayForm(expected[i]);
        }
    }

    const double product = r1 * r2 * c1 * c2;
    if (expectedKnown && product != 0.0) {
        const double diff = t.a * t.d - t.b * t.c;
        bool basic = true;
        for (double e : expected)
            basic = basic && e >= 5.0;
        // The corrected difference is squared as it is, even when it falls below zero.
        const double corrected = std::sqrt(diff * diff) - n / 2.0;
        const double chi =
            basic ? n * (diff * diff) / product : n * (corrected * corrected) / product;
        result.chiSquare = displayForm(chi);
    }

    bool unsuitable = !expectedKnown || n < 40.0;
    for (double e : expected)
        unsuitable = unsuitable || e < 1.0;
    result.judgment = unsuitable
                          ? FourFoldUnsuitable
                          : judgeShownChiSquare(result.chiSquare, ChiSquare1df05, ChiSquare1df01);
    return result;
}

PairedFourFoldResult pairedFourFoldChiSquare(const FourFoldTexts &cells) {
    const Table t(cells);
    PairedFourFoldResult result;
    result.margins = t.margins();
    result.n = t.nText();
    if (t.anyNegative || !t.discordant || t.discordant->ticks() == 0)
        return result; // undefined without discordant pairs; meaningless with negative counts

    const double sum = t.discordant->toDouble();
    const double diff = t.b - t.c;
    const double corrected = std::sqrt(diff * diff) - 1.0;
    const bool large = *t.discordant >= Fixed4::fromTicks(40 * Fixed4::Scale);
    const double chi = large ? diff * diff / sum : corrected * corrected / sum;
    result.chiSquare = displayForm(chi);
    result.judgment = judgeShownChiSquare(result.chiSquare, ChiSquare1df05, ChiSquare1df01);
    return result;
}

} // namespace quarbel
