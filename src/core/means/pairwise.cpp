#include "core/means/pairwise.h"

#include "core/entry/number_rules.h"

#include <boost/math/distributions/students_t.hpp>

#include <algorithm>
#include <cmath>

namespace quarbel {
namespace {

struct Pair {
    std::size_t a, b;
};
constexpr std::array<Pair, 3> pairs{{{0, 1}, {0, 2}, {1, 2}}};

struct Groups {
    std::array<double, 3> mean{};
    std::array<double, 3> n{};
};

Groups groupsOf(const AnovaBoxes &boxes) {
    Groups g;
    for (std::size_t i = 0; i < 3; ++i) {
        g.mean[i] = leadingNumber(boxes[3 * i]);
        g.n[i] = leadingNumber(boxes[3 * i + 2]);
    }
    return g;
}

// The pairwise tests need the terms of a run with at least five within-group degrees of
// freedom (where the q table starts); anything less empties the lines.
bool usable(const std::optional<WithinTerms> &terms) {
    return terms && terms->dfWithin >= 5 && std::isfinite(terms->dfWithin) &&
           std::isfinite(terms->ssWithin);
}

// The statistic as shown and its value read back, so the judgment sees what the person sees.
struct Shown {
    QString text;
    double value{0};
};

std::optional<Shown> shownRatio(double d, double se) {
    const double ratio = d / se;
    if (!std::isfinite(ratio) || !(se > 0))
        return std::nullopt;
    Shown s{displayForm(ratio), 0};
    s.value = readDisplayed(s.text);
    return s;
}

} // namespace

QString meanOrderForm(double mean) {
    QString shown = displayForm(mean);
    const bool negative = shown.startsWith(u'-');
    if (negative)
        shown.remove(0, 1);
    const qsizetype point = shown.indexOf(u'.');
    if (point >= 0 && point < 9)
        shown.prepend(QString(9 - point, u'0'));
    return negative ? u'-' + shown : shown;
}

QTestResult runQTest(const AnovaBoxes &boxes, std::optional<WithinTerms> terms) {
    QTestResult r;
    if (anyBoxZero(boxes))
        return r;
    const Groups g = groupsOf(boxes);

    // Ordered by value rather than by text, so negative means and means of 10^9 and more
    // also put the smallest and the largest at the ends.
    std::array<std::size_t, 3> order{0, 1, 2};
    std::stable_sort(order.begin(), order.end(),
                     [&g](std::size_t x, std::size_t y) { return g.mean[x] < g.mean[y]; });
    std::array<QString, 3> form;
    for (std::size_t i = 0; i < 3; ++i)
        form[i] = meanOrderForm(g.mean[i]);
    r.meanOrder = QStringList{form[order[0]], form[order[1]], form[order[2]]};
    const QString &middle = form[order[1]];

    if (!usable(terms))
        return r;
    const double msWithin = terms->ssWithin / terms->dfWithin;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto [a, b] = pairs[k];
        const double d = std::fabs(g.mean[a] - g.mean[b]);
        const double se = std::sqrt(msWithin / 2 * (1 / g.n[a] + 1 / g.n[b]));
        const auto q = shownRatio(d, se);
        // A mean equal to the middle one is adjacent to either end.
        const int spanned = form[a] == middle || form[b] == middle ? 2 : 3;
        const auto critical = lookupQ(terms->dfWithin, spanned);
        if (!q || !critical)
            continue;
        const double q05 = readDisplayed(critical->q05);
        const QString label = q->value >= critical->q01 ? labels::P01
                              : q->value >= q05         ? labels::P05
                                                        : labels::NotSignificant;
        r.lines[k] = pairPrefixes()[k] + QStringLiteral("q = ") + q->text + labels::Gap + label;
    }
    return r;
}

std::optional<double> twoTailedT(double t, double df) {
    if (!std::isfinite(t) || !(df > 0) || !std::isfinite(df))
        return std::nullopt;
    const boost::math::students_t_distribution<double> dist(df);
    return 2 * boost::math::cdf(boost::math::complement(dist, std::fabs(t)));
}

LsdResult runLsdTest(const AnovaBoxes &boxes, std::optional<WithinTerms> terms) {
    LsdResult r;
    if (anyBoxZero(boxes) || !usable(terms))
        return r;
    const Groups g = groupsOf(boxes);
    const double msWithin = terms->ssWithin / terms->dfWithin;
    for (std::size_t k = 0; k < pairs.size(); ++k) {
        const auto [a, b] = pairs[k];
        const double d = std::fabs(g.mean[a] - g.mean[b]);
        const double se = std::sqrt(msWithin * (1 / g.n[a] + 1 / g.n[b]));
        const auto t = shownRatio(d, se);
        const auto p = t ? twoTailedT(t->value, terms->dfWithin) : std::nullopt;
        if (!p)
            continue;
        r.lines[k] = pairPrefixes()[k] + QStringLiteral("LSD-t=") + t->text +
                     QStringLiteral(" p=") + displayForm(*p);
    }
    return r;
}

} // namespace quarbel
