#include "core/shell/methods.h"
#include "survival/survival_reference.h"
#include "ui/common/pending_work.h"
#include "ui/entry/data_grid.h"
#include "ui/entry/numeric_cell.h"
#include "ui/shell/main_window.h"

#include <gtest/gtest.h>

#include <QLabel>

using namespace quarbel;
using quarbel::test::referenceSets;
using quarbel::test::SurvivalCase;

namespace {

QStringList listOf(const std::vector<QString> &texts) {
    return QStringList(texts.begin(), texts.end());
}

// Each of R's reference sets loaded into the survival grid as an import loads it: the panel's
// fields show what R shows, group by group, and nothing in the slots after the last group.
class SurvivalPanelAgainstR : public testing::TestWithParam<SurvivalCase> {};

TEST_P(SurvivalPanelAgainstR, ShowsWhatRShowsAfterAnImport) {
    const SurvivalCase &c = GetParam();
    MainWindow window;
    window.selectMethod(Survival);
    window.threeGroupGrid()->load({listOf(c.time), listOf(c.outcome), listOf(c.group)}, {},
                                  qsizetype(c.time.size()) + 10);
    window.findChild<NumericCell *>(QStringLiteral("SurvTime"))->setText(c.rateTime);
    PendingWork::flushAll();
    auto text = [&window](const char *array, std::size_t g) {
        const auto *label = window.findChild<QLabel *>(
            QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(g + 1));
        return label ? label->text() : QStringLiteral("<missing>");
    };
    for (std::size_t g = 0; g < std::size_t(SurvivalMaxGroups); ++g) {
        const SurvivalGroupTexts e = g < c.groups.size() ? c.groups[g] : SurvivalGroupTexts{};
        const QStringList shown{text("SurvN", g),          text("SurvEvents", g),
                                text("SurvMedian", g),     text("SurvMedianLow", g),
                                text("SurvMedianHigh", g), text("SurvRate", g),
                                text("SurvRateLow", g),    text("SurvRateHigh", g),
                                text("LogRankObs", g),     text("LogRankExp", g),
                                text("CoxHR", g),          text("CoxHRLow", g),
                                text("CoxHRHigh", g),      text("CoxP", g)};
        const QStringList expected{e.n,    e.events,  e.median,   e.medianLow,  e.medianHigh,
                                   e.rate, e.rateLow, e.rateHigh, e.logRankObs, e.logRankExp,
                                   e.hr,   e.hrLow,   e.hrHigh,   e.coxP};
        EXPECT_EQ(shown, expected) << "group " << g + 1;
    }
    const QStringList logRank{window.findChild<QLabel *>(QStringLiteral("LogRankChi2"))->text(),
                              window.findChild<QLabel *>(QStringLiteral("LogRankDf"))->text(),
                              window.findChild<QLabel *>(QStringLiteral("LogRankP"))->text()};
    EXPECT_EQ(logRank, c.logRank);
}

INSTANTIATE_TEST_SUITE_P(R, SurvivalPanelAgainstR, testing::ValuesIn(referenceSets()),
                         [](const auto &row) { return row.param.name; });

} // namespace
