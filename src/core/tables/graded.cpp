#include "core/tables/graded.h"

#include "core/entry/number_rules.h"

#include <boost/math/distributions/normal.hpp>

#include <cmath>
#include <limits>

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

struct RankSum {
    double z;
    double correction; // the tie correction factor
    double smaller;    // subjects in the group whose ranks are summed
    double other;
};

std::optional<RankSum> rankSum(const GradedTable &table) {
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
    return ck.ok() ? std::optional(RankSum{z, correction, ns, no}) : std::nullopt;
}

struct Ridit {
    double z;
    double mean1; // test group
    double mean2; // control group
};

std::optional<Ridit> ridit(const GradedTable &table) {
    Checked ck;
    const std::array<double, 4> c = gradeTotals(table);
    const double n1 = sum(table.test);
    const double n2 = sum(table.control);
    const double N = grandTotal(table);

    std::array<double, 4> ridits{};
    double below = 0.0;
    for (std::size_t j = 0; j < 4; ++j) {
        const double p = ck.divide(c[j], N);
        ridits[j] = ck(below + p / 2.0);
        below = ck(below + p);
    }
    double s1 = 0.0, s2 = 0.0;
    for (std::size_t j = 0; j < 4; ++j) {
        s1 = ck(s1 + ridits[j] * table.test[j]);
        s2 = ck(s2 + ridits[j] * table.control[j]);
    }
    const double mean1 = ck.divide(s1, n1);
    const double mean2 = ck.divide(s2, n2);
    const double se = ck.root(ck(ck.divide(1.0, 12.0 * n2) + ck.divide(1.0, 12.0 * n1)));
    const double z = ck.divide(std::fabs(mean1 - mean2), se);
    return ck.ok() ? std::optional(Ridit{z, mean1, mean2}) : std::nullopt;
}

QString twoSidedP(double z) {
    const boost::math::normal_distribution<double> normal;
    return pValueForm(2.0 * boost::math::cdf(boost::math::complement(normal, std::fabs(z))));
}

// The one list of the method's details, in display order: the two P values side by side as
// the two tests stand above them, then the test group's ridit values beside the control's.
Details gradedDetails(const std::optional<RankSum> &rank, const std::optional<Ridit> &r, double n1,
                      double n2, const QString &note) {
    std::array<QString, 6> means; // mean 1, mean 2, low 1, low 2, high 1, high 2
    if (r) {
        // The customary 95% interval of a mean ridit: 1.96 standard errors of 1/sqrt(12 n).
        const double h1 = 1.96 / (2.0 * std::sqrt(3.0 * n1));
        const double h2 = 1.96 / (2.0 * std::sqrt(3.0 * n2));
        means = {displayForm(r->mean1),      displayForm(r->mean2),
                 displayForm(r->mean1 - h1), displayForm(r->mean2 - h2),
                 displayForm(r->mean1 + h1), displayForm(r->mean2 + h2)};
    }
    const QString low = QStringLiteral("95%可信区间下限");
    const QString high = QStringLiteral("95%可信区间上限");
    return {{{QStringLiteral("RankSumP"), QStringLiteral("秩和检验P值"),
              rank ? twoSidedP(rank->z) : QString()},
             {QStringLiteral("RiditP"), QStringLiteral("Ridit分析P值"),
              r ? twoSidedP(r->z) : QString()},
             {QStringLiteral("RiditMean1"), QStringLiteral("试验组平均Ridit"), means[0]},
             {QStringLiteral("RiditMean2"), QStringLiteral("对照组平均Ridit"), means[1]},
             {QStringLiteral("RiditMean1Low"), low, means[2]},
             {QStringLiteral("RiditMean2Low"), low, means[3]},
             {QStringLiteral("RiditMean1High"), high, means[4]},
             {QStringLiteral("RiditMean2High"), high, means[5]}},
            note};
}

namespace notes {
const QString OutOfRange = QStringLiteral("有计数过大，无法精确计算，不作检验。");
const QString Negative = QStringLiteral("有计数为负数，不作检验。");
const QString EmptyGroup = QStringLiteral("两组都须有观察例数。");
const QString OneGrade =
    QStringLiteral("全部观察值在同一等级，无法作秩和检验；两组平均Ridit相同。");
const QString Fractional = QStringLiteral("有非整数的计数，请核对。");
// Below these sizes (smaller group at most 10, sizes differing by at most 10) a table of
// critical T is the customary test.
const QString SmallGroups = QStringLiteral(
    "例数较少（较小组n≤10且两组例数之差≤10）：P值为正态近似，仅供参考，宜查T界值表。");
QString ties(double correction) {
    return QStringLiteral("相同等级的观察值很多：z已作校正（校正系数C = %1），P值由正态近似求得。")
        .arg(displayForm(correction));
}
} // namespace notes

struct Counts {
    GradedTable table;
    bool anyNegative{false};
    bool outOfRange{false};
    bool fractional{false};
};

// The eight boxes, test grades first.
Counts readCounts(const GradedTexts &cells) {
    Counts counts;
    for (std::size_t k = 0; k < 8; ++k) {
        const std::optional<double> count = leadingCount(cells[k]);
        // A count that cannot be held leaves every total it enters empty.
        const double v = count.value_or(std::numeric_limits<double>::quiet_NaN());
        (k < 4 ? counts.table.test[k] : counts.table.control[k - 4]) = v;
        counts.outOfRange = counts.outOfRange || !count;
        counts.anyNegative = counts.anyNegative || v < 0.0;
        counts.fractional = counts.fractional || (count && *count != std::floor(*count));
    }
    return counts;
}

QString noteFor(double n1, double n2, const std::optional<RankSum> &rank,
                const std::optional<Ridit> &rid, bool fractional) {
    if (n1 == 0.0 || n2 == 0.0)
        return n1 + n2 == 0.0 ? QString() : notes::EmptyGroup;
    if (!rank && rid)
        return notes::OneGrade;
    if (fractional)
        return notes::Fractional;
    if (rank && rank->smaller <= 10.0 && rank->other - rank->smaller <= 10.0)
        return notes::SmallGroups;
    if (rank)
        return notes::ties(rank->correction);
    return {};
}

} // namespace

std::optional<double> rankSumZ(const GradedTable &table) {
    const std::optional<RankSum> r = rankSum(table);
    return r ? std::optional(r->z) : std::nullopt;
}

std::optional<double> riditZ(const GradedTable &table) {
    const std::optional<Ridit> r = ridit(table);
    return r ? std::optional(r->z) : std::nullopt;
}

QString judgeNormal(double z) {
    if (z >= 2.576)
        return labels::P01;
    if (z >= 1.96)
        return labels::P05;
    return labels::NotSignificant;
}

GradedResult gradedAnalysis(const GradedTexts &cells) {
    const Counts counts = readCounts(cells);
    const GradedTable &table = counts.table;
    const std::array<double, 4> c = gradeTotals(table);
    const double n1 = sum(table.test), n2 = sum(table.control);

    GradedResult result;
    result.testTotal = plainForm(n1);
    result.controlTotal = plainForm(n2);
    for (std::size_t j = 0; j < 4; ++j)
        result.gradeTotals[j] = plainForm(c[j]);
    result.grandTotal = plainForm(grandTotal(table));

    // Ranks of negative counts mean nothing: the results stay empty, the totals are shown.
    if (counts.outOfRange || counts.anyNegative) {
        result.details = gradedDetails({}, {}, 0.0, 0.0,
                                       counts.outOfRange ? notes::OutOfRange : notes::Negative);
        if (c[3] == 0.0)
            result.gradeTotals[3].clear();
        return result;
    }
    const std::optional<RankSum> rank = rankSum(table);
    const std::optional<Ridit> rid = ridit(table);
    result.details =
        gradedDetails(rank, rid, n1, n2, noteFor(n1, n2, rank, rid, counts.fractional));
    if (!rank || !rid)
        return result; // an undefined rank-sum test leaves the Ridit fields empty as well
    result.rankSumZ = displayForm(rank->z);
    result.rankSumJudgment = judgeNormal(rank->z);
    result.riditZ = displayForm(rid->z);
    result.riditJudgment = judgeNormal(rid->z);
    // A table that uses only three grades shows no total under the fourth.
    if (c[3] == 0.0)
        result.gradeTotals[3].clear();
    return result;
}

} // namespace quarbel
