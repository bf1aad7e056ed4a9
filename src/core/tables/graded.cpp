#include "core/tables/graded.h"

#include "core/entry/number_rules.h"

#include <cmath>

namespace quarbel {
namespace {

// Every intermediate must stay finite: a division by zero, 0/0, the root of a negative or an
// overflow makes the whole analysis undefined.
class Checked {
  public:
    double operator()(double v) {
        m_ok = m_ok && std::isfinite(v);
        return v;
    }
    double root(double v) { return (*this)(v < 0.0 ? std::nan("") : std::sqrt(v)); }
    double divide(double x, double y) { return (*this)(y == 0.0 ? std::nan("") : x / y); }
    bool ok() const { return m_ok; }

  private:
    bool m_ok{true};
};

double sum(const std::array<double, 4> &v) {
    return v[0] + v[1] + v[2] + v[3];
}

std::array<double, 4> gradeTotals(const GradedTable &t) {
    return {t.test[0] + t.control[0], t.test[1] + t.control[1], t.test[2] + t.control[2],
            t.test[3] + t.control[3]};
}

double grandTotal(const GradedTable &t) {
    double n = 0.0;
    for (double v : t.test)
        n += v;
    for (double v : t.control)
        n += v;
    return n;
}

} // namespace

std::optional<double> rankSumZ(const GradedTable &table) {
    Checked ck;
    const std::array<double, 4> c = gradeTotals(table);
    const double n1 = ck(sum(table.test));
    const double n2 = ck(sum(table.control));
    const double N = ck(grandTotal(table));

    // Tied subjects share the mean of the ranks their grade occupies.
    std::array<double, 4> meanRank{};
    double below = 0.0;
    for (std::size_t j = 0; j < 4; ++j) {
        meanRank[j] = ck(((below + 1.0) + (below + c[j])) / 2.0);
        below = ck(below + c[j]);
    }
    double t1 = 0.0, t2 = 0.0;
    for (std::size_t j = 0; j < 4; ++j) {
        t1 = ck(t1 + meanRank[j] * table.test[j]);
        t2 = ck(t2 + meanRank[j] * table.control[j]);
    }
    const bool testSmaller = n2 >= n1;
    const double T = testSmaller ? t1 : t2;
    const double ns = testSmaller ? n1 : n2;
    const double no = testSmaller ? n2 : n1;

    double ties = 0.0;
    for (double cj : c)
        ties = ck(ties + (ck(cj * cj * cj) - cj));
    const double correction = ck(1.0 - ck.divide(ties, ck(N * N * N) - N));
    const double u =
        ck.divide(std::fabs(T - ns * (N + 1.0) / 2.0), ck.root(ck(ns * no * (N + 1.0) / 12.0)));
    const double z = ck.divide(u, ck.root(correction));
    return ck.ok() ? std::optional(z) : std::nullopt;
}

std::optional<double> riditZ(const GradedTable &table) {
    Checked ck;
    const std::array<double, 4> c = gradeTotals(table);
    const double n1 = sum(table.test);
    const double n2 = sum(table.control);
    const double N = grandTotal(table);

    std::array<double, 4> ridit{};
    double below = 0.0;
    for (std::size_t j = 0; j < 4; ++j) {
        const double p = ck.divide(c[j], N);
        ridit[j] = ck(below + p / 2.0);
        below = ck(below + p);
    }
    double s1 = 0.0, s2 = 0.0;
    for (std::size_t j = 0; j < 4; ++j) {
        s1 = ck(s1 + ridit[j] * table.test[j]);
        s2 = ck(s2 + ridit[j] * table.control[j]);
    }
    const double mean1 = ck.divide(s1, n1);
    const double mean2 = ck.divide(s2, n2);
    const double se = ck.root(ck(ck.divide(1.0, 12.0 * n2) + ck.divide(1.0, 12.0 * n1)));
    const double z = ck.divide(std::fabs(mean1 - mean2), se);
    return ck.ok() ? std::optional(z) : std::nullopt;
}

QString judgeNormal(double z) {
    if (z >= 2.576)
        return labels::P01;
    if (z >= 1.96)
        return labels::P05;
    return labels::NotSignificant;
}

GradedResult gradedAnalysis(const GradedTexts &cells) {
    GradedTable table;
    bool anyNegative = false;
    for (std::size_t j = 0; j < 4; ++j) {
        table.test[j] = leadingNumber(cells[j]);
        table.control[j] = leadingNumber(cells[4 + j]);
        anyNegative = anyNegative || table.test[j] < 0.0 || table.control[j] < 0.0;
    }
    const std::array<double, 4> c = gradeTotals(table);

    GradedResult result;
    result.testTotal = plainForm(sum(table.test));
    result.controlTotal = plainForm(sum(table.control));
    for (std::size_t j = 0; j < 4; ++j)
        result.gradeTotals[j] = plainForm(c[j]);
    result.grandTotal = plainForm(grandTotal(table));

    // Ranks of negative counts mean nothing: the results stay empty, the totals are shown.
    if (!anyNegative) {
        const std::optional<double> rank = rankSumZ(table);
        if (!rank)
            return result; // an undefined rank-sum test leaves the Ridit fields empty as well
        const std::optional<double> ridit = riditZ(table);
        if (!ridit)
            return result;
        result.rankSumZ = displayForm(*rank);
        result.rankSumJudgment = judgeNormal(*rank);
        result.riditZ = displayForm(*ridit);
        result.riditJudgment = judgeNormal(*ridit);
    }
    // A table that uses only three grades shows no total under the fourth.
    if (c[3] == 0.0)
        result.gradeTotals[3].clear();
    return result;
}

} // namespace quarbel
