#pragma once

#include "core/entry/details.h"
#include "core/entry/running_totals.h"
#include "core/plots/plot_basics.h"
#include "core/report/report.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

namespace quarbel {

// Up to this many groups are compared; more leave the results empty.
inline constexpr int KGroupsMax = 10;

// The two grid columns in long form as the lists hold them: values and group codes in ticks,
// ColumnList::Missing where a cell is empty or not a complete number. A row counts when both
// hold a number; a row past a column's end is empty there.
struct KGroupsColumns {
    std::span<const std::int64_t> value;
    std::span<const std::int64_t> group;
};

// Exact count, sum and sum of squares of each code's values, kept entry by entry: a keystroke
// updates one group, so the analysis of variance and the comparisons of means cost the same at
// any number of rows. "1" and "1.0" have the same ticks and so are one group.
class KGroupTotals {
  public:
    // A pass over the rows; it stops at the eleventh code, since more groups are not compared.
    static KGroupTotals of(const KGroupsColumns &columns);
    // More than KGroupsMax codes: the totals are incomplete and updates leave them so.
    bool overflowed() const { return m_overflowed; }
    // The value of a row went from `before` to `after` while its code is `code`, and the same
    // for a code; Missing stands for an empty cell on either side.
    void valueChanged(std::int64_t before, std::int64_t after, std::int64_t code);
    void codeChanged(std::int64_t value, std::int64_t before, std::int64_t after);

    // Every code that has at least one complete row, ascending.
    const std::map<std::int64_t, ColumnTotals> &groups() const { return m_groups; }
    // Rows where only one of the two cells holds a number: they do not count.
    std::int64_t halfRows() const { return m_halfRows; }
    std::int64_t rows() const;
    friend bool operator==(const KGroupTotals &, const KGroupTotals &) = default;

  private:
    void add(std::int64_t value, std::int64_t code);
    void remove(std::int64_t value, std::int64_t code);
    std::map<std::int64_t, ColumnTotals> m_groups;
    std::int64_t m_halfRows{0};
    bool m_overflowed{false};
};

// One group's fields in the details boxes' number forms, empty where undefined.
struct KGroupTexts {
    QString code; // the code's plain decimal form: "1", "2.5", "-1"
    QString n, mean, sd, median, p25, p75, shapiroP;
    friend bool operator==(const KGroupTexts &, const KGroupTexts &) = default;
};

// The numbers behind the picture: each group's values as dots (a box plot above MaxDots
// values) and its mean with the t interval.
struct KGroupBox {
    double low{0}, p25{0}, median{0}, p75{0}, high{0}; // whiskers at 1.5 IQR, as R's boxplot
    friend bool operator==(const KGroupBox &, const KGroupBox &) = default;
};
struct KGroupPicture {
    QString label;
    std::vector<double> dots;
    std::vector<double> dotOffsets; // horizontal jitter within ±0.3
    std::optional<KGroupBox> box;
    std::optional<Estimate> mean;
    friend bool operator==(const KGroupPicture &, const KGroupPicture &) = default;
};
// Which analysis the note asks to report.
enum class KGroupsChoice { None, Anova, Welch, Rank };

struct KGroupsResult {
    std::vector<KGroupTexts> groups; // in the order of their codes; empty beyond ten
    std::vector<std::int64_t> codes; // ticks, the same order
    // KGroupF … KGroupKruskalEps2; the note is what Note12 shows.
    Details tests;
    // One row a pair i < j in the order 1-2, 1-3, …, (k−1)-k: the two codes, the mean
    // difference, its Tukey–Kramer interval, Tukey P, Games–Howell P, Dunn's z and its
    // Bonferroni P.
    std::vector<QStringList> pairs;
    KGroupsChoice choice{KGroupsChoice::None};
    // False for a result from totals alone: the order statistics (medians, Shapiro–Wilk,
    // Levene, Kruskal–Wallis, Dunn) are still empty, and so is the choice.
    bool complete{false};
    // The picture's numbers, made with the order statistics (a complete result only), so that
    // drawing it after the pause sorts nothing again.
    std::vector<KGroupPicture> picture;
    friend bool operator==(const KGroupsResult &, const KGroupsResult &) = default;
};

// Every item of the tests in display order, all empty: the layout of the results box.
Details kGroupsLayout();
QStringList kGroupPairHeader();

// What the totals alone give: n, mean and SD, the analysis of variance, Bartlett, Welch, and
// the Tukey and Games–Howell comparisons, equal to those of analyseKGroups on the same rows.
KGroupsResult kGroupMeans(const KGroupTotals &totals);

// Everything, from one pass over the rows and one sort of each group, as R's aov, TukeyHSD,
// oneway.test, bartlett.test, kruskal.test and shapiro.test give it, Levene's test about the
// median and Dunn's test from their definitions. Never throws.
KGroupsResult analyseKGroups(const KGroupsColumns &columns);

// The numbers behind the picture from the rows themselves.
std::vector<KGroupPicture> kGroupsPicture(const KGroupsColumns &columns);

// The report of the analysis the note chooses: per group n with mean ± SD, or M (P25, P75)
// for the rank analysis; the overall test and every pair; the sentences.
ReportContent kGroupsReport(const KGroupsResult &result);

} // namespace quarbel
