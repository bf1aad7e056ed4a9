#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>
#include <vector>

namespace quarbel {

// The survival grid's three columns as the lists hold them: parsed ticks (ColumnList::Missing
// where a cell is empty or not a complete number) and the texts, which tell an empty cell from
// one that holds something unusable. Columns may differ in length; a row past a column's end
// is empty there.
struct SurvivalColumns {
    std::span<const std::int64_t> time;
    std::span<const std::int64_t> outcome;
    std::span<const std::int64_t> group;
    std::span<const QString> timeText;
    std::span<const QString> outcomeText;
    std::span<const QString> groupText;
};

inline constexpr int SurvivalMaxGroups = 8;

// Every text of one group's row of results, in the number forms of the details boxes; empty
// where undefined. "未达到" where a median or a bound of it is not reached.
struct SurvivalGroupTexts {
    QString label; // "组1", "组2.5" from the typed code; "全部" when no row has a group
    QString n;
    QString events;
    QString median;
    QString medianLow;
    QString medianHigh;
    QString rate; // S(t*) and its interval, for the time typed in the box
    QString rateLow;
    QString rateHigh;
    QString logRankObs;
    QString logRankExp;
    QString hr; // Cox, against the first group: empty for the first group itself
    QString hrLow;
    QString hrHigh;
    QString coxP;
    friend bool operator==(const SurvivalGroupTexts &, const SurvivalGroupTexts &) = default;
};

// One line of the life table: a distinct time of one group with an event or a censoring.
struct LifeTableRow {
    int group{0};         // index into SurvivalResult::groups
    std::int64_t time{0}; // ticks
    std::int64_t atRisk{0};
    std::int64_t events{0};
    std::int64_t censored{0};
    double survival{1.0};
    double se{0.0};   // Greenwood standard error of S, as summary.survfit's std.err; NaN at S = 0
    double low{0.0};  // log-transformed interval; NaN where undefined (S = 0)
    double high{0.0}; // capped at 1
    friend bool operator==(const LifeTableRow &, const LifeTableRow &) = default;
};

struct SurvivalResult {
    std::vector<SurvivalGroupTexts> groups; // in the order of their codes; empty when unusable
    std::vector<double> codes;              // each group's numeric code (0 for the single group)
    bool grouped{false};                    // the group column was used
    QString logRankChi2;
    QString logRankDf;
    QString logRankP;
    // Rows of every group, group by group, each in time order.
    std::vector<LifeTableRow> lifeTable;
    std::int64_t rowsUsed{0};
    std::int64_t rowsLeftOut{0}; // unusable time or outcome, or no group where others have one
    QString note;
    friend bool operator==(const SurvivalResult &, const SurvivalResult &) = default;
};

// Kaplan–Meier per group, medians with their intervals, S(t*) for `rateTime` (the box's text;
// empty or not a number ≥ 0: no rate), the log-rank test and the Cox model against the first
// group, as R's survival package computes them. A fresh pass over the columns; never throws.
SurvivalResult analyseSurvival(const SurvivalColumns &columns, const QString &rateTime);

// The texts of one life-table row: group label, time, at risk, events, censored, S, SE, low,
// high, in the details boxes' forms.
QStringList lifeTableTexts(const SurvivalResult &result, const LifeTableRow &row);

} // namespace quarbel
